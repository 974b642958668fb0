<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CCommonExportNetworkRequest</name>
    <message>
        <source>NoName</source>
        <translation>未命名</translation>
    </message>
</context>
<context>
    <name>CCommonExportTaskManager</name>
    <message>
        <source>Please select the path</source>
        <translation>请选择保存路径</translation>
    </message>
    <message>
        <source>openFile fail, QRCode download fail</source>
        <translation>文件打开失败，二维码下载失败</translation>
    </message>
    <message>
        <source>QRCode download success</source>
        <translation>二维码下载成功</translation>
    </message>
    <message>
        <source>NoName</source>
        <translation>未命名</translation>
    </message>
    <message>
        <source>The export could not be saved: %1</source>
        <translation>导出文件无法保存：%1</translation>
    </message>
</context>
<context>
    <name>CDeviceConfigure</name>
    <message>
        <source>P2P init configuration fail,please try again</source>
        <translation>P2P 初始化配置失败，请重试</translation>
    </message>
    <message>
        <source>Failed to open device configuration page,please try again</source>
        <translation>打开设备配置页面失败，请重试</translation>
    </message>
</context>
<context>
    <name>CVideoWnd</name>
    <message>
        <source>User information exception!</source>
        <translation>用户信息异常！</translation>
    </message>
    <message>
        <source>Playback failure!</source>
        <translation>播放失败！</translation>
    </message>
    <message>
        <source>playback timeout!</source>
        <translation>回放超时！</translation>
    </message>
</context>
<context>
    <name>CalendarWidget</name>
    <message>
        <source>open real play</source>
        <translation>返回实时预览</translation>
    </message>
    <message>
        <source>open previous day record</source>
        <translation>前一天录像</translation>
    </message>
    <message>
        <source>open next day record</source>
        <translation>后一天录像</translation>
    </message>
    <message>
        <source>calendar search</source>
        <translation>日历查询</translation>
    </message>
</context>
<context>
    <name>CameraAlarms</name>
    <message>
        <source>request fail!</source>
        <translation>请求失败！</translation>
    </message>
</context>
<context>
    <name>ConfigInfo::CBaseInfo</name>
    <message>
        <source>Failed to Get VeltToken,Please try again later!</source>
        <translation>获取设备平台令牌失败，请稍后重试！</translation>
    </message>
</context>
<context>
    <name>QCommonExportDlg</name>
    <message>
        <source>export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>cancal</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>esc</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>finished</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>openFolder</source>
        <translation>打开文件夹</translation>
    </message>
    <message>
        <source>reExport</source>
        <translation>重新导出</translation>
    </message>
    <message>
        <source>exporting, please waite a faw minus</source>
        <translation>正在导出，请稍候……</translation>
    </message>
    <message>
        <source>export finished</source>
        <translation>导出完成</translation>
    </message>
    <message>
        <source>export error</source>
        <translation>导出失败</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>are you sure to exit export?</source>
        <translation>确定要退出导出吗？</translation>
    </message>
</context>
<context>
    <name>QMessageDetail</name>
    <message>
        <source>No Video Record</source>
        <translation>无录像</translation>
    </message>
    <message>
        <source>Can't operate sound during talking</source>
        <translation>对讲中无法操作声音</translation>
    </message>
    <message>
        <source>Open sound failed!</source>
        <translation>打开声音失败！</translation>
    </message>
    <message>
        <source>Close sound failed!</source>
        <translation>关闭声音失败！</translation>
    </message>
    <message>
        <source>Pause failed!</source>
        <translation>暂停失败！</translation>
    </message>
    <message>
        <source>Resume failed!</source>
        <translation>恢复播放失败！</translation>
    </message>
</context>
<context>
    <name>QMessageVideoBar</name>
    <message>
        <source>pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>play</source>
        <translation>播放</translation>
    </message>
    <message>
        <source>openAudio</source>
        <translation>打开声音</translation>
    </message>
    <message>
        <source>closeAudio</source>
        <translation>关闭声音</translation>
    </message>
    <message>
        <source>fullScreen</source>
        <translation>全屏</translation>
    </message>
    <message>
        <source>reset</source>
        <translation>退出全屏</translation>
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
        <translation>提示</translation>
    </message>
    <message>
        <source>Application had runned!</source>
        <translation>程序已经在运行！</translation>
    </message>
</context>
<context>
    <name>QPTZWidget</name>
    <message>
        <source>云台操作</source>
        <translation>云台操作</translation>
    </message>
    <message>
        <source>方向控制</source>
        <translation>方向控制</translation>
    </message>
    <message>
        <source>焦距控制</source>
        <translation>焦距控制</translation>
    </message>
</context>
<context>
    <name>QRecordVideoPlay</name>
    <message>
        <source>No Video Record</source>
        <translation>无录像</translation>
    </message>
</context>
<context>
    <name>QSpeedSetWidget</name>
    <message>
        <source>speed %1</source>
        <translation>%1倍速</translation>
    </message>
</context>
<context>
    <name>QVideoBar</name>
    <message>
        <source>Details of Circle Display plan</source>
        <translation>轮巡计划详情</translation>
    </message>
    <message>
        <source>startRecord</source>
        <translation>开始录像</translation>
    </message>
    <message>
        <source>stopRecord</source>
        <translation>停止录像</translation>
    </message>
    <message>
        <source>snapShot</source>
        <translation>抓图</translation>
    </message>
    <message>
        <source>openTalk</source>
        <translation>开启对讲</translation>
    </message>
    <message>
        <source>cloaseTalk</source>
        <translation>关闭对讲</translation>
    </message>
    <message>
        <source>standard definition</source>
        <translation>标清</translation>
    </message>
    <message>
        <source>high definition</source>
        <translation>高清</translation>
    </message>
    <message>
        <source>change high definition</source>
        <translation>切换到高清</translation>
    </message>
    <message>
        <source>change standard definition</source>
        <translation>切换到标清</translation>
    </message>
    <message>
        <source>back15</source>
        <translation>后退15秒</translation>
    </message>
    <message>
        <source>pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>play</source>
        <translation>播放</translation>
    </message>
    <message>
        <source>forward15</source>
        <translation>前进15秒</translation>
    </message>
    <message>
        <source>stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>speed</source>
        <translation>倍速</translation>
    </message>
    <message>
        <source>PTZCtrl</source>
        <translation>云台控制</translation>
    </message>
    <message>
        <source>open PTZCtrl</source>
        <translation>打开云台控制</translation>
    </message>
    <message>
        <source>close PTZCtrl</source>
        <translation>关闭云台控制</translation>
    </message>
    <message>
        <source>soundAlarm</source>
        <translation>声音告警</translation>
    </message>
    <message>
        <source>open sound alarm</source>
        <translation>开启声音告警</translation>
    </message>
    <message>
        <source>close sound alarm</source>
        <translation>关闭声音告警</translation>
    </message>
    <message>
        <source>lightAlarm</source>
        <translation>白光告警</translation>
    </message>
    <message>
        <source>open light alarm</source>
        <translation>开启白光告警</translation>
    </message>
    <message>
        <source>close light alarm</source>
        <translation>关闭白光告警</translation>
    </message>
    <message>
        <source>choose split mode</source>
        <translation>选择分屏模式</translation>
    </message>
    <message>
        <source>device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>cloud</source>
        <translation>云端</translation>
    </message>
    <message>
        <source>change cloudRecord</source>
        <translation>切换到云端录像</translation>
    </message>
    <message>
        <source>change deviceRecord</source>
        <translation>切换到设备录像</translation>
    </message>
    <message>
        <source>record download</source>
        <translation>录像下载</translation>
    </message>
    <message>
        <source>openAudio</source>
        <translation>打开声音</translation>
    </message>
    <message>
        <source>closeAudio</source>
        <translation>关闭声音</translation>
    </message>
    <message>
        <source>remoteOpenDoor</source>
        <translation>远程开门</translation>
    </message>
    <message>
        <source>fullScreen</source>
        <translation>全屏</translation>
    </message>
    <message>
        <source>reset</source>
        <translation>退出全屏</translation>
    </message>
    <message>
        <source>closeAll</source>
        <translation>全部关闭</translation>
    </message>
</context>
<context>
    <name>QVideoPlay</name>
    <message>
        <source>Open record failed!</source>
        <translation>开启录像失败！</translation>
    </message>
    <message>
        <source>Close record failed!</source>
        <translation>关闭录像失败！</translation>
    </message>
    <message>
        <source>SnapShot failed!</source>
        <translation>抓图失败！</translation>
    </message>
    <message>
        <source>Other Device or Channel is talking</source>
        <translation>其他设备或通道正在对讲</translation>
    </message>
    <message>
        <source>Open talk failed!</source>
        <translation>开启对讲失败！</translation>
    </message>
    <message>
        <source>Close talk failed!</source>
        <translation>关闭对讲失败！</translation>
    </message>
    <message>
        <source>Open talk failed, please check your micophone!</source>
        <translation>开启对讲失败，请检查麦克风！</translation>
    </message>
    <message>
        <source>Change definition failed!</source>
        <translation>切换清晰度失败！</translation>
    </message>
    <message>
        <source>Can't operate sound during talking</source>
        <translation>对讲中无法操作声音</translation>
    </message>
    <message>
        <source>Open sound failed!</source>
        <translation>打开声音失败！</translation>
    </message>
    <message>
        <source>Close sound failed!</source>
        <translation>关闭声音失败！</translation>
    </message>
    <message>
        <source>Pause failed!</source>
        <translation>暂停失败！</translation>
    </message>
    <message>
        <source>Resume failed!</source>
        <translation>恢复播放失败！</translation>
    </message>
    <message>
        <source>Sorry, no records found</source>
        <translation>抱歉，未找到录像</translation>
    </message>
    <message>
        <source>Wait, query record</source>
        <translation>请稍候，正在查询录像</translation>
    </message>
    <message>
        <source>Failed to Speed!</source>
        <translation>倍速设置失败！</translation>
    </message>
</context>
<context>
    <name>QVideoWnd</name>
    <message>
        <source>Save Record Succeed</source>
        <translation>录像保存成功</translation>
    </message>
    <message>
        <source>SnapShot Succeed</source>
        <translation>抓图成功</translation>
    </message>
    <message>
        <source>Request timeout!</source>
        <translation>请求超时！</translation>
    </message>
    <message>
        <source>Close Video</source>
        <translation>关闭视频</translation>
    </message>
    <message>
        <source>Close All</source>
        <translation>全部关闭</translation>
    </message>
    <message>
        <source>Reconnecting…</source>
        <translation>正在重新连接…</translation>
    </message>
    <message>
        <source>Show Statistics</source>
        <translation>显示统计信息</translation>
    </message>
</context>
<context>
    <name>QWindowSplit</name>
    <message>
        <source>1 split</source>
        <translation>1分屏</translation>
    </message>
    <message>
        <source>4 split</source>
        <translation>4分屏</translation>
    </message>
    <message>
        <source>6 split</source>
        <translation>6分屏</translation>
    </message>
    <message>
        <source>8 split</source>
        <translation>8分屏</translation>
    </message>
    <message>
        <source>9 split</source>
        <translation>9分屏</translation>
    </message>
    <message>
        <source>16 split</source>
        <translation>16分屏</translation>
    </message>
</context>
<context>
    <name>TesmarClient</name>
    <message>
        <source>Failed to Get Client version information!</source>
        <translation>获取客户端版本信息失败！</translation>
    </message>
    <message>
        <source>CertificateNotTrusted</source>
        <translation>证书不受信任</translation>
    </message>
    <message>
        <source>CertificateNotTrustedDetail</source>
        <translation>%1 的证书不受信任（错误码 %2）。继续访问可能存在安全风险。</translation>
    </message>
    <message>
        <source>Proceed anyway</source>
        <translation>仍然继续</translation>
    </message>
    <message>
        <source>Back to safety</source>
        <translation>返回安全页面</translation>
    </message>
    <message>
        <source>CertificateError</source>
        <translation>证书错误</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>VideoBarButtons</name>
    <message>
        <source>%1: one frame while paused</source>
        <translation>%1：暂停时逐帧</translation>
    </message>
</context>
<context>
    <name>VideoOverlay</name>
    <message>
        <source>dropped %1</source>
        <translation>丢帧 %1</translation>
    </message>
    <message>
        <source>last picture %1</source>
        <translation>最后画面 %1</translation>
    </message>
</context>
<context>
    <name>Web::CWebView</name>
    <message>
        <source>Json error:</source>
        <translation>JSON 错误：</translation>
    </message>
    <message>
        <source>Json error: context is not format</source>
        <translation>JSON 错误：请求格式不正确</translation>
    </message>
    <message>
        <source>unKnow</source>
        <translation>未知</translation>
    </message>
</context>
</TS>
