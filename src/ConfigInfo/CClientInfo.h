#pragma once

#include <kwl/KSingleton.h>

#include <QString>

namespace ConfigInfo {

// The client's display name and version from "./clientInfo.ini" (GB18030 text). Read only.
class CClientInfo
{
public:
    // The one holder, loaded on the first call (which also loads CLocalCfg).
    static CClientInfo &Instance();

    // "CLIENTINFO/name"; by default the translated program type.
    QString GetName() const { return m_name; }
    // "CLIENTINFO/version"; by default "V1.001.0000000.0.R".
    QString GetVersion() const { return m_version; }

private:
    friend struct KSingletonMaker<CClientInfo>;
    CClientInfo();

    QString m_name;
    QString m_version;
};

} // namespace ConfigInfo
