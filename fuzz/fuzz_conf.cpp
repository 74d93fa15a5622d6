// A configuration file: loaded and copied into the grids, as the window does.
#include "FuzzSupport.h"

#include "config/ConfigFile.h"
#include "pages/ConfigCopy.h"
#include "pages/GridSet.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = WriteFuzzFile(data, size, "conf");
    const auto cfg = std::make_unique<TConfig>();
    int keys = 0;
    if (!LoadConfigFile(path, *cfg, nullptr, &keys))
        return 0;
    const OwnedGrids grids;
    ConfigToGrids(*cfg, grids.set());
    GridsToConfig(grids.set(), *cfg);
    return 0;
}
