// A goods base file's bytes: the INI store's reading and the finding of the
// goods rows' keys in it, as LoadGoodsDb102 finds them.
#include "FuzzSupport.h"

#include "config/classMyIniFile.h"
#include "pages/GoodsDb102.h"

#include <set>
#include <utility>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TmyIniFile ini(QStringLiteral("fuzz.db102"), FuzzBytes(data, size));
    if (!ini.isLoaded())
        return 0;
    // Every value names a row of the grid and one of its six keys, each at most once.
    std::set<std::pair<int, int>> seen;
    for (const Db102Value &value : ParseGoodsDb102(ini))
        if (value.row < 1 || value.row > GoodsRows::kCount || value.key < 0 || value.key > 5
            || !seen.insert({ value.row, value.key }).second)
            qFatal("a goods value outside the grid, or found twice");
    return 0;
}
