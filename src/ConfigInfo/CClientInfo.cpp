#include "CClientInfo.h"

#include "CLocalCfg.h"

#include <QCoreApplication>
#include <QSettings>

namespace ConfigInfo {

CClientInfo &CClientInfo::Instance()
{
    return KSingleton<CClientInfo>::Instance();
}

CClientInfo::CClientInfo()
    : m_name(QCoreApplication::translate("QObject",
                                         CLocalCfg::Instance().GetProgram().toUtf8().constData()))
    , m_version("V1.001.0000000.0.R")
{
    QSettings file("./clientInfo.ini", QSettings::IniFormat);
    // Installations name the client in Chinese, stored in GB18030.
    file.setIniCodec("GB18030");
    m_name = file.value("CLIENTINFO/name", m_name).toString();
    m_version = file.value("CLIENTINFO/version", m_version).toString();
}

} // namespace ConfigInfo
