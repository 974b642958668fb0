<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CCommonExportNetworkRequest</name>
    <message>
        <source>NoName</source>
        <translation>Unnamed</translation>
    </message>
</context>
<context>
    <name>CCommonExportTaskManager</name>
    <message>
        <source>Please select the path</source>
        <translation>Please select the folder</translation>
    </message>
    <message>
        <source>openFile fail, QRCode download fail</source>
        <translation>Cannot open the file, QR code download failed</translation>
    </message>
    <message>
        <source>QRCode download success</source>
        <translation>QR code downloaded</translation>
    </message>
    <message>
        <source>NoName</source>
        <translation>Unnamed</translation>
    </message>
    <message>
        <source>The export could not be saved: %1</source>
        <translation>The export could not be saved: %1</translation>
    </message>
</context>
<context>
    <name>CDeviceConfigure</name>
    <message>
        <source>P2P init configuration fail,please try again</source>
        <translation>P2P set-up failed, please try again</translation>
    </message>
    <message>
        <source>Failed to open device configuration page,please try again</source>
        <translation>Failed to open the device configuration page, please try again</translation>
    </message>
</context>
<context>
    <name>CVideoWnd</name>
    <message>
        <source>User information exception!</source>
        <translation>User information exception!</translation>
    </message>
    <message>
        <source>Playback failure!</source>
        <translation>Playback failure!</translation>
    </message>
    <message>
        <source>playback timeout!</source>
        <translation>Playback timed out!</translation>
    </message>
</context>
<context>
    <name>CalendarWidget</name>
    <message>
        <source>open real play</source>
        <translation>Back to live view</translation>
    </message>
    <message>
        <source>open previous day record</source>
        <translation>Previous day's recordings</translation>
    </message>
    <message>
        <source>open next day record</source>
        <translation>Next day's recordings</translation>
    </message>
    <message>
        <source>calendar search</source>
        <translation>Search by calendar</translation>
    </message>
</context>
<context>
    <name>CameraAlarms</name>
    <message>
        <source>request fail!</source>
        <translation>Request failed!</translation>
    </message>
</context>
<context>
    <name>ConfigInfo::CBaseInfo</name>
    <message>
        <source>Failed to Get VeltToken,Please try again later!</source>
        <translation>Failed to get the device platform token, please try again later!</translation>
    </message>
</context>
<context>
    <name>QCommonExportDlg</name>
    <message>
        <source>export</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>cancal</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>esc</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>finished</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>openFolder</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>reExport</source>
        <translation>Export again</translation>
    </message>
    <message>
        <source>exporting, please waite a faw minus</source>
        <translation>Exporting, please wait a few minutes</translation>
    </message>
    <message>
        <source>export finished</source>
        <translation>Export finished</translation>
    </message>
    <message>
        <source>export error</source>
        <translation>Export failed</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>are you sure to exit export?</source>
        <translation>Are you sure you want to stop the export?</translation>
    </message>
</context>
<context>
    <name>QMessageDetail</name>
    <message>
        <source>No Video Record</source>
        <translation>No Video Record</translation>
    </message>
    <message>
        <source>Can't operate sound during talking</source>
        <translation>Can't operate sound during talking</translation>
    </message>
    <message>
        <source>Open sound failed!</source>
        <translation>Open sound failed!</translation>
    </message>
    <message>
        <source>Close sound failed!</source>
        <translation>Close sound failed!</translation>
    </message>
    <message>
        <source>Pause failed!</source>
        <translation>Pause failed!</translation>
    </message>
    <message>
        <source>Resume failed!</source>
        <translation>Resume failed!</translation>
    </message>
</context>
<context>
    <name>QMessageVideoBar</name>
    <message>
        <source>pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>play</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>openAudio</source>
        <translation>Sound on</translation>
    </message>
    <message>
        <source>closeAudio</source>
        <translation>Sound off</translation>
    </message>
    <message>
        <source>fullScreen</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>reset</source>
        <translation>Exit full screen</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Orvane</source>
        <translation>Orvane</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>Application had runned!</source>
        <translation>The application is already running!</translation>
    </message>
</context>
<context>
    <name>QPTZWidget</name>
    <message>
        <source>云台操作</source>
        <translation>PTZ control</translation>
    </message>
    <message>
        <source>方向控制</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>焦距控制</source>
        <translation>Zoom</translation>
    </message>
</context>
<context>
    <name>QRecordVideoPlay</name>
    <message>
        <source>No Video Record</source>
        <translation>No Video Record</translation>
    </message>
</context>
<context>
    <name>QSpeedSetWidget</name>
    <message>
        <source>speed %1</source>
        <translation>Speed %1×</translation>
    </message>
</context>
<context>
    <name>QVideoBar</name>
    <message>
        <source>Details of Circle Display plan</source>
        <translation>Details of the patrol plan</translation>
    </message>
    <message>
        <source>startRecord</source>
        <translation>Start recording</translation>
    </message>
    <message>
        <source>stopRecord</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>snapShot</source>
        <translation>Snapshot</translation>
    </message>
    <message>
        <source>openTalk</source>
        <translation>Start talking</translation>
    </message>
    <message>
        <source>cloaseTalk</source>
        <translation>Stop talking</translation>
    </message>
    <message>
        <source>standard definition</source>
        <translation>Standard definition</translation>
    </message>
    <message>
        <source>high definition</source>
        <translation>High definition</translation>
    </message>
    <message>
        <source>change high definition</source>
        <translation>Switch to high definition</translation>
    </message>
    <message>
        <source>change standard definition</source>
        <translation>Switch to standard definition</translation>
    </message>
    <message>
        <source>back15</source>
        <translation>Back 15 seconds</translation>
    </message>
    <message>
        <source>pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>play</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>forward15</source>
        <translation>Forward 15 seconds</translation>
    </message>
    <message>
        <source>stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>speed</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>PTZCtrl</source>
        <translation>PTZ control</translation>
    </message>
    <message>
        <source>open PTZCtrl</source>
        <translation>Open PTZ control</translation>
    </message>
    <message>
        <source>close PTZCtrl</source>
        <translation>Close PTZ control</translation>
    </message>
    <message>
        <source>soundAlarm</source>
        <translation>Siren</translation>
    </message>
    <message>
        <source>open sound alarm</source>
        <translation>Turn the siren on</translation>
    </message>
    <message>
        <source>close sound alarm</source>
        <translation>Turn the siren off</translation>
    </message>
    <message>
        <source>lightAlarm</source>
        <translation>White light</translation>
    </message>
    <message>
        <source>open light alarm</source>
        <translation>Turn the white light on</translation>
    </message>
    <message>
        <source>close light alarm</source>
        <translation>Turn the white light off</translation>
    </message>
    <message>
        <source>choose split mode</source>
        <translation>Choose the window split</translation>
    </message>
    <message>
        <source>device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>cloud</source>
        <translation>Cloud</translation>
    </message>
    <message>
        <source>change cloudRecord</source>
        <translation>Switch to cloud recordings</translation>
    </message>
    <message>
        <source>change deviceRecord</source>
        <translation>Switch to device recordings</translation>
    </message>
    <message>
        <source>record download</source>
        <translation>Download recording</translation>
    </message>
    <message>
        <source>openAudio</source>
        <translation>Sound on</translation>
    </message>
    <message>
        <source>closeAudio</source>
        <translation>Sound off</translation>
    </message>
    <message>
        <source>remoteOpenDoor</source>
        <translation>Open the door</translation>
    </message>
    <message>
        <source>fullScreen</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>reset</source>
        <translation>Exit full screen</translation>
    </message>
    <message>
        <source>closeAll</source>
        <translation>Close all</translation>
    </message>
</context>
<context>
    <name>QVideoPlay</name>
    <message>
        <source>Open record failed!</source>
        <translation>Open record failed!</translation>
    </message>
    <message>
        <source>Close record failed!</source>
        <translation>Close record failed!</translation>
    </message>
    <message>
        <source>SnapShot failed!</source>
        <translation>Snapshot failed!</translation>
    </message>
    <message>
        <source>Other Device or Channel is talking</source>
        <translation>Another device or channel is talking</translation>
    </message>
    <message>
        <source>Open talk failed!</source>
        <translation>Open talk failed!</translation>
    </message>
    <message>
        <source>Close talk failed!</source>
        <translation>Close talk failed!</translation>
    </message>
    <message>
        <source>Open talk failed, please check your micophone!</source>
        <translation>Open talk failed, please check your microphone!</translation>
    </message>
    <message>
        <source>Change definition failed!</source>
        <translation>Change definition failed!</translation>
    </message>
    <message>
        <source>Can't operate sound during talking</source>
        <translation>Can't operate sound during talking</translation>
    </message>
    <message>
        <source>Open sound failed!</source>
        <translation>Open sound failed!</translation>
    </message>
    <message>
        <source>Close sound failed!</source>
        <translation>Close sound failed!</translation>
    </message>
    <message>
        <source>Pause failed!</source>
        <translation>Pause failed!</translation>
    </message>
    <message>
        <source>Resume failed!</source>
        <translation>Resume failed!</translation>
    </message>
    <message>
        <source>Sorry, no records found</source>
        <translation>Sorry, no records found</translation>
    </message>
    <message>
        <source>Wait, query record</source>
        <translation>Wait, querying records</translation>
    </message>
    <message>
        <source>Failed to Speed!</source>
        <translation>Failed to change the speed!</translation>
    </message>
</context>
<context>
    <name>QVideoWnd</name>
    <message>
        <source>Save Record Succeed</source>
        <translation>Recording saved</translation>
    </message>
    <message>
        <source>SnapShot Succeed</source>
        <translation>Snapshot saved</translation>
    </message>
    <message>
        <source>Request timeout!</source>
        <translation>Request timeout!</translation>
    </message>
    <message>
        <source>Close Video</source>
        <translation>Close Video</translation>
    </message>
    <message>
        <source>Close All</source>
        <translation>Close All</translation>
    </message>
    <message>
        <source>Reconnecting…</source>
        <translation>Reconnecting…</translation>
    </message>
    <message>
        <source>Show Statistics</source>
        <translation>Show Statistics</translation>
    </message>
</context>
<context>
    <name>QWindowSplit</name>
    <message>
        <source>1 split</source>
        <translation>1 window</translation>
    </message>
    <message>
        <source>4 split</source>
        <translation>4 windows</translation>
    </message>
    <message>
        <source>6 split</source>
        <translation>6 windows</translation>
    </message>
    <message>
        <source>8 split</source>
        <translation>8 windows</translation>
    </message>
    <message>
        <source>9 split</source>
        <translation>9 windows</translation>
    </message>
    <message>
        <source>16 split</source>
        <translation>16 windows</translation>
    </message>
</context>
<context>
    <name>TesmarClient</name>
    <message>
        <source>Failed to Get Client version information!</source>
        <translation>Failed to get the client version information!</translation>
    </message>
    <message>
        <source>CertificateNotTrusted</source>
        <translation>The certificate is not trusted</translation>
    </message>
    <message>
        <source>CertificateNotTrustedDetail</source>
        <translation>The certificate of %1 is not trusted (error %2). Going on may not be safe.</translation>
    </message>
    <message>
        <source>Proceed anyway</source>
        <translation>Proceed anyway</translation>
    </message>
    <message>
        <source>Back to safety</source>
        <translation>Back to safety</translation>
    </message>
    <message>
        <source>CertificateError</source>
        <translation>Certificate error</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>VideoBarButtons</name>
    <message>
        <source>%1: one frame while paused</source>
        <translation>%1: one frame while paused</translation>
    </message>
</context>
<context>
    <name>VideoOverlay</name>
    <message>
        <source>dropped %1</source>
        <translation>dropped %1</translation>
    </message>
    <message>
        <source>last picture %1</source>
        <translation>last picture %1</translation>
    </message>
</context>
<context>
    <name>Web::CWebView</name>
    <message>
        <source>Json error:</source>
        <translation>JSON error:</translation>
    </message>
    <message>
        <source>Json error: context is not format</source>
        <translation>JSON error: the request is not well formed</translation>
    </message>
    <message>
        <source>unKnow</source>
        <translation>Unknown</translation>
    </message>
</context>
</TS>
