// A configuration file's bytes: the INI store's reading and the finding of
// every key of the configuration in it, as LoadConfigFile finds them.
#include "FuzzSupport.h"

#include "config/ConfigFile.h"
#include "config/classMyIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const TmyIniFile ini(QStringLiteral("fuzz.conf"), FuzzBytes(data, size));
    if (!ini.isLoaded())
        return 0;
    const std::vector<ConfigValue> values = ParseConfigFile(ini);
    // Each key of the configuration at most once, in writing order.
    for (size_t i = 0; i < values.size(); ++i)
        if (values[i].place < 0 || (i > 0 && values[i].place <= values[i - 1].place))
            qFatal("a configuration key found twice or out of order");
    return 0;
}
