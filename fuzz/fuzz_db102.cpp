// A goods base file (*.db102) loaded into the goods grid.
#include "FuzzSupport.h"

#include "pages/GoodsDb102.h"
#include "pages/Grids102.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = WriteFuzzFile(data, size, "db102");
    const auto goods = MakeGrid(TableKind::Goods);
    LoadGoodsDb102(path, *goods);
    return 0;
}
