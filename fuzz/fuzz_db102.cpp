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
    const int found = ParseGoodsDb102(ini, [&](int row, int key, QStringView) {
        if (row < 1 || row > GoodsRows::kCount || key < 0 || key > 5 || !seen.insert({ row, key }).second)
            qFatal("a goods value outside the grid, or found twice");
    });
    if (found != int(seen.size()))
        qFatal("the goods values counted are not the values found");
    return 0;
}
