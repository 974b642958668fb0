#include "TestEnv.h"

#include <QtGlobal>

namespace TestEnv {

QString root()
{
    return qEnvironmentVariable("ORVANE_TEST_ROOT");
}

QString buildBinDir()
{
    return qEnvironmentVariable("ORVANE_BIN_DIR");
}

QString sourceDir()
{
    return qEnvironmentVariable("ORVANE_SOURCE_DIR");
}

} // namespace TestEnv
