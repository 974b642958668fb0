// Any text as a request of the page, through the check of the web view, the message queue's
// handling and the building of its message: never a crash, never a message under another name,
// and the rules of the catalogue hold. A first byte other than '{' picks a method and the rest
// becomes its "params", so that every message builder is reached quickly.
#include "ConfigInfo/CLocalCfg.h"
#include "FuzzInput.h"
#include "RecordingWebManager.h"
#include "Web/CWebMessage.h"
#include "Web/CWebMessageQueue.h"
#include "Web/CWebRequestCheck.h"
#include "Web/ChannelInfoMsg.h"
#include "Web/OpenRecordMsg.h"

#include <kwl/KRefPtr.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonObject>

#include <cstdint>

namespace {

// Every method of the catalogue, and two it does not know.
const QStringList kMethods
    = QString(
          "WebInited GetClientInfo NotifyLoginSucc NotifyLoginOut CloseApp MinSize OpenUrl "
          "OpenUrlByBrowserDialog NotifyRequestVeltToken UserInfoModify NotifySwitchMenu CloseMenu "
          "SetWndRect SetMask FullScreen TextNotify OpenVideo OpenRecord DialogRectNotify "
          "MessageNotify CloseVideo NotifyDeviceStatus CommonExportFile OpenDeviceWeb minsize "
          "Unknown")
          .split(' ');

void checkChannels(const QList<ChannelInfo_t> &channels)
{
    for (const ChannelInfo_t &channel : channels)
        FuzzInput::require(channel.accessSource != 2 || channel.definitionMode == 0);
}

// Checks what the queue posts; the posts of the request under test come on this thread, the
// "NotifyLoginOut" that "CloseApp" queues comes on the worker.
class CheckingManager : public RecordingWebManager
{
public:
    QString method;

    void PostRPCCall(Web::CWebMsgRef msg) override
    {
        FuzzInput::require(!msg || msg->method == method
                           || msg->method == QLatin1String("NotifyLoginOut"));
        if (auto *channels = dynamic_cast<Web::ChannelInfoMsg *>(msg.get()))
            checkChannels(channels->channels);
        if (auto *record = dynamic_cast<Web::OpenRecordMsg *>(msg.get()))
            checkChannels(record->channels);
    }
};

QString requestText(const uint8_t *data, size_t size)
{
    const QString rest = QString::fromUtf8(FuzzInput::bytes(data, size));
    if (size == 0 || data[0] == '{')
        return rest;
    const QString &method = kMethods.at(data[0] % kMethods.size());
    return QString("{\"method\":\"%1\",\"params\":%2}").arg(method, rest.mid(1));
}

void silence(QtMsgType, const QMessageLogContext &, const QString &) { }

} // namespace

// Qt 5.15's JSON parser itself leaks on some texts with repeated keys (a bare
// QJsonDocument::fromJson of them leaks too); leaks allocated inside QtCore are not findings of
// this target. A message or record leaked by the client is allocated by the client's own code.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libQt5Core.so";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A GUI application: the user record written on the queue's thread holds a picture.
    static const bool setUp = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        FuzzInput::application<QGuiApplication>();
        qInstallMessageHandler(silence); // "OpenUrl" without a desktop only warns
        // Token requests fail at once, on this thread, rather than go to the built-in platform:
        // over HTTP, Qt's network thread could still be connecting when the fuzzer exits, and
        // it then ran into Qt's statics already torn down.
        ConfigInfo::CLocalCfg::Instance().SetPlatformUrl("none://platform");
        return true;
    }();
    Q_UNUSED(setUp)

    QJsonObject request;
    QString popup;
    if (!Web::CWebRequestCheck::parse(requestText(data, size), &request, &popup)) {
        FuzzInput::require(!popup.isEmpty());
        return 0;
    }
    CheckingManager manager;
    manager.method = request.value("method").toString();
    KRefPtr<Web::CWebMessageQueue> queue(new Web::CWebMessageQueue);
    queue->SetWebViewManager(&manager);
    KRefPtr<Web::CWebMessage> message(new Web::CWebMessage(request));
    queue->processMsg(message.get());
    queue->ClearWebViewManager();
    queue.reset(); // stops a worker that "CloseApp" started
    QCoreApplication::processEvents(); // token requests and their failures
    return 0;
}
