#include "CConfig.h"

#include <QSettings>

namespace ConfigInfo {

namespace {

const QString kFileName = QStringLiteral("./Config.ini");

// Reads the key into field when the file has it; otherwise writes the field's value, so that
// after the first run the file lists every setting.
template<typename T> void syncKey(QSettings &file, const QString &key, T &field)
{
    if (file.contains(key))
        field = file.value(key, QVariant::fromValue(field)).template value<T>();
    else
        file.setValue(key, QVariant::fromValue(field));
}

} // namespace

CConfig &CConfig::Instance()
{
    return KSingleton<CConfig>::Instance();
}

CConfig::CConfig()
{
    QSettings file(kFileName, QSettings::IniFormat);
    syncKey(file, "VideoShow/frameRate", m_videoShow.frameRate);
    syncKey(file, "VideoShow/channelName", m_videoShow.channelName);
    syncKey(file, "VideoShow/deviceName", m_videoShow.deviceName);
    syncKey(file, "VideoShow/ivsDraw", m_videoShow.ivsDraw);
    syncKey(file, "PicAccessInfo/Path", m_picAccessInfo.Path);
    syncKey(file, "RecordConfig/RecPath", m_recordConfig.RecPath);
    syncKey(file, "RecordConfig/RecType", m_recordConfig.RecType);
    syncKey(file, "Alarm/sound", m_alarm.sound);
    syncKey(file, "Alarm/linkDlg", m_alarm.linkDlg);
    syncKey(file, "Alarm/AlarmSuspendBall", m_alarm.AlarmSuspendBall);
    syncKey(file, "AlarmSuspendBall/autoHide", m_alarmSuspendBall.autoHide);
    syncKey(file, "AlarmSuspendBall/topOnWindow", m_alarmSuspendBall.topOnWindow);
    syncKey(file, "WebInfo/IsDebug", m_webInfo.IsDebug);
    syncKey(file, "WebInfo/zoomFactor", m_webInfo.zoomFactor);
}

void CConfig::SetPicAccessInfo(const QString &path)
{
    if (path == m_picAccessInfo.Path)
        return;
    m_picAccessInfo.Path = path;
    QSettings(kFileName, QSettings::IniFormat).setValue("PicAccessInfo/Path", path);
}

void CConfig::SetRecordConfig(const RecordConfig &config)
{
    if (config.RecPath == m_recordConfig.RecPath && config.RecType == m_recordConfig.RecType)
        return;
    m_recordConfig = config;
    QSettings file(kFileName, QSettings::IniFormat);
    file.setValue("RecordConfig/RecPath", config.RecPath);
    file.setValue("RecordConfig/RecType", config.RecType);
}

} // namespace ConfigInfo
