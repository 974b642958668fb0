#include "CommonExportManager/networkParams_t.h"

networkParams_t::networkParams_t()
{
    // Known by name, so that queued connections made by name can carry it.
    static const int registered = qRegisterMetaType<networkParams_t>("networkParams_t");
    Q_UNUSED(registered)
}
