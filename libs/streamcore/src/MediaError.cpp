#include "MediaError.h"

#include <gst/gst.h>

namespace StreamCore {

std::string MediaError::fromHttpStatus(int status)
{
    if (status >= 200 && status < 300)
        return kNone;
    if (status == 0)
        return kConnection;
    if (status == 401 || status == 403)
        return kTokenRefused;
    if (status == 404)
        return kNotFound;
    return kOther;
}

std::string MediaError::fromGstError(const GError *error)
{
    if (!error || error->domain != GST_RESOURCE_ERROR)
        return kOther;
    switch (error->code) {
    case GST_RESOURCE_ERROR_NOT_FOUND:
        return kNotFound;
    case GST_RESOURCE_ERROR_NOT_AUTHORIZED:
        return kTokenRefused;
    case GST_RESOURCE_ERROR_OPEN_READ:
    case GST_RESOURCE_ERROR_OPEN_WRITE:
    case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
    case GST_RESOURCE_ERROR_READ:
    case GST_RESOURCE_ERROR_WRITE:
    case GST_RESOURCE_ERROR_CLOSE:
        return kConnection;
    default:
        return kOther;
    }
}

} // namespace StreamCore
