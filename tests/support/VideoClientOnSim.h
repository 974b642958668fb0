#pragma once

#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CConfig.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <StreamCore/IStreamCore.h>

#include <QDir>

// Points the client's video side at a running simulator, as the main window does after login:
// the media library at its open platform, the device-platform token, recordings and pictures in
// the test's program folder, and toasts shown. False when the media library refused the address.
inline bool connectVideoClient(int httpPort, const char *deviceToken)
{
    if (StreamCore::IStreamCore::GetInstance()->InitApi("127.0.0.1", httpPort, "", true) != 0)
        return false;
    ConfigInfo::CBaseInfo::Instance().setVeltToken(deviceToken);
    ConfigInfo::CConfig::Instance().SetRecordConfig({QDir::currentPath() + "/records", 0});
    ConfigInfo::CConfig::Instance().SetPicAccessInfo(QDir::currentPath() + "/pictures");
    KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->StartMessageProcess();
    return true;
}
