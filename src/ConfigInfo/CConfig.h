#pragma once

#include <kwl/KSingleton.h>

#include <QString>

namespace ConfigInfo {

// The user's settings of "./Config.ini": video overlays, picture and record folders, alarm
// behaviour, web view debugging and zoom. Loaded once; keys missing from the file are written
// back with their defaults, and the picture and record settings are written whenever they change.
class CConfig
{
public:
    struct VideoShow
    {
        bool frameRate = false;
        bool channelName = false;
        bool deviceName = false;
        bool ivsDraw = false;
    };
    struct PicAccessInfo
    {
        QString Path;
    };
    struct RecordConfig
    {
        QString RecPath;
        int RecType = 0;
    };
    struct Alarm
    {
        bool sound = true;
        bool linkDlg = true;
        bool AlarmSuspendBall = true;
    };
    struct AlarmSuspendBall
    {
        bool autoHide = true;
        bool topOnWindow = true;
    };
    struct WebInfo
    {
        double zoomFactor = 1.0;
        bool IsDebug = false;
    };

    // The one holder, loaded from "./Config.ini" on the first call.
    static CConfig &Instance();

    VideoShow GetVideoShow() const { return m_videoShow; }
    // The snapshot folder ("PicAccessInfo/Path").
    QString GetPicAccessInfo() const { return m_picAccessInfo.Path; }
    RecordConfig GetRecordConfig() const { return m_recordConfig; }
    Alarm GetAlarm() const { return m_alarm; }
    AlarmSuspendBall GetAlarmSuspendBall() const { return m_alarmSuspendBall; }
    WebInfo GetWebInfo() const { return m_webInfo; }
    // "WebInfo/IsDebug": the web engine opens its remote debugging port.
    bool GetIsDebug() const { return m_webInfo.IsDebug; }

    // Sets the snapshot folder and writes it to the file at once when it changed.
    void SetPicAccessInfo(const QString &path);
    // Sets the record folder and type and writes both to the file at once when either changed.
    void SetRecordConfig(const RecordConfig &config);
    // In-memory setters; the file keeps its values.
    void SetVideoShow(const VideoShow &videoShow) { m_videoShow = videoShow; }
    void SetAlarm(const Alarm &alarm) { m_alarm = alarm; }
    void SetAlarmSuspendBall(const AlarmSuspendBall &ball) { m_alarmSuspendBall = ball; }
    void SetWebInfo(const WebInfo &webInfo) { m_webInfo = webInfo; }

private:
    friend struct KSingletonMaker<CConfig>;
    CConfig();

    VideoShow m_videoShow;
    PicAccessInfo m_picAccessInfo;
    RecordConfig m_recordConfig;
    Alarm m_alarm;
    AlarmSuspendBall m_alarmSuspendBall;
    WebInfo m_webInfo;
};

} // namespace ConfigInfo
