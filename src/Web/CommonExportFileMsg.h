#pragma once

#include "Web/CWebBaseMsg.h"

namespace Web {

// "CommonExportFile": a file of the platform to download and save.
class CommonExportFileMsg : public CWebBaseMsg
{
public:
    using CWebBaseMsg::CWebBaseMsg;

    QString requestParams;
    QString requestType = "GET";
    QString requestUrl;
    int exportType = 0;
    QString name;
    int size = 0;
    bool isBase64 = false;
};

} // namespace Web
