#pragma once

#include <QMetaType>
#include <QPixmap>
#include <QString>

namespace ConfigInfo {

// The logged-in user as the web application reports it.
struct UserInfo
{
    QPixmap photo;
    QString userPhoto;
    QString userName;
    QString userType;
    // The user's gateway token, sent as the bearer token of gateway requests.
    QString token;
};

} // namespace ConfigInfo

Q_DECLARE_METATYPE(ConfigInfo::UserInfo)
