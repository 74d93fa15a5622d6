// A 1C exchange file (*.1cdb) imported into the goods grid; an accepted one
// must export and import again to the same grid.
#include "FuzzSupport.h"

#include "pages/Goods1C.h"
#include "pages/Grids102.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto goods = MakeGrid(TableKind::Goods);
    if (!ImportGoods1CBytes(FuzzBytes(data, size), *goods).ok)
        return 0;
    const QByteArray exported = Goods1CBytes(*goods);
    const auto again = MakeGrid(TableKind::Goods);
    ImportGoods1CBytes(exported, *again);
    if (Goods1CBytes(*again) != exported)
        qFatal("an exported 1C file does not import to the same goods");
    return 0;
}
