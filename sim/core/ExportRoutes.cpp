#include "ExportRoutes.h"

#include "GatewayRoutes.h"
#include "QrCodePicture.h"
#include "WebAppRoutes.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrlQuery>

#include <algorithm>
#include <limits>
#include <thread>

namespace {

const QByteArray sampleLine = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\n";

// The request's parameters: the query, and for a POST the members of its JSON body on top.
class ExportParameters
{
public:
    explicit ExportParameters(const SimRequest &request)
        : m_query(request.query)
        , m_body(QJsonDocument::fromJson(request.body).object())
    { }

    bool has(const QString &name) const
    {
        return m_body.contains(name) || m_query.hasQueryItem(name);
    }
    QString text(const QString &name, const QString &fallback = {}) const
    {
        if (m_body.contains(name))
            return m_body.value(name).toVariant().toString();
        return has(name) ? m_query.queryItemValue(name, QUrl::FullyDecoded) : fallback;
    }
    qint64 number(const QString &name, qint64 fallback, qint64 low, qint64 high) const
    {
        bool ok = false;
        const qint64 value = text(name).toLongLong(&ok);
        return ok ? qBound(low, value, high) : fallback;
    }

private:
    QUrlQuery m_query;
    QJsonObject m_body;
};

void addHeader(SimHeaders &headers, const QByteArray &name, const QByteArray &value)
{
    headers.append(qMakePair(name, value));
}

// A whole file in one answer, with its "size" and "name" headers; as Base64 in the gateway's
// envelope when base64 is set.
SimReply fileReply(const QByteArray &content, const QString &name, bool base64)
{
    SimReply reply;
    if (base64) {
        reply = SimReply::success(QString::fromLatin1(content.toBase64()));
        addHeader(reply.headers, "isBase64", "1");
    } else {
        reply.contentType = "application/octet-stream";
        reply.body = content;
    }
    addHeader(reply.headers, "size", QByteArray::number(reply.body.size()));
    addHeader(reply.headers, "name", name.toUtf8());
    return reply;
}

QByteArray csvField(QString text)
{
    if (text.contains(',') || text.contains('"') || text.contains('\n'))
        text = '"' + text.replace("\"", "\"\"") + '"';
    return text.toUtf8();
}

QByteArray csvLine(const QStringList &fields)
{
    QByteArrayList line;
    for (const QString &field : fields)
        line << csvField(field);
    return line.join(',') + "\r\n";
}

void removeHeader(SimHeaders &headers, const QByteArray &name)
{
    headers.erase(std::remove_if(headers.begin(), headers.end(),
                                 [&name](const auto &header) { return header.first == name; }),
                  headers.end());
}

QString today(const char *format)
{
    return QDateTime::currentDateTime().toString(format);
}

// The sample's pieces, made while they are sent: pauses of trickleMs before each piece after
// the first, and a break of the connection once failAt bytes are out (-1: never).
std::shared_ptr<SimStream> sampleStream(qint64 length, qint64 pieceBytes, int trickleMs,
                                        qint64 failAt)
{
    auto stream = std::make_shared<SimStream>();
    stream->length = length;
    stream->next
        = [pieceBytes, trickleMs, failAt](qint64 offset, qint64 maxBytes, QByteArray *piece) {
              if (failAt >= 0 && offset >= failAt)
                  return false;
              if (offset > 0 && trickleMs > 0)
                  std::this_thread::sleep_for(std::chrono::milliseconds(trickleMs));
              qint64 size = qMin(maxBytes, pieceBytes);
              if (failAt >= 0)
                  size = qMin(size, failAt - offset);
              piece->resize(int(size));
              for (qint64 i = 0; i < size; ++i)
                  (*piece)[int(i)] = ExportRoutes::sampleByte(offset + i);
              return true;
          };
    return stream;
}

} // namespace

ExportRoutes::ExportRoutes(const DeviceFile &devices, const TokenStore &tokens,
                           const WebAppRoutes &webApp)
    : m_devices(devices)
    , m_tokens(tokens)
    , m_webApp(webApp)
{ }

void ExportRoutes::install(SimRouter &router)
{
    const QList<QPair<const char *, SimReply (ExportRoutes::*)(const SimRequest &) const>> routes
        = {{samplePath, &ExportRoutes::sample},
           {deviceReportPath, &ExportRoutes::deviceReport},
           {alarmReportPath, &ExportRoutes::alarmReport},
           {qrCodePath, &ExportRoutes::qrCode}};
    for (const auto &route : routes) {
        const auto handler = [this, route](const SimRequest &request) {
            if (const std::optional<SimReply> refusal
                = GatewayRoutes::refuseUnlessLoggedIn(request, m_tokens))
                return *refusal;
            return (this->*route.second)(request);
        };
        router.add("GET", route.first, handler);
        router.add("POST", route.first, handler);
    }
}

char ExportRoutes::sampleByte(qint64 offset)
{
    return sampleLine.at(int(offset % sampleLine.size()));
}

SimReply ExportRoutes::sample(const SimRequest &request) const
{
    const ExportParameters parameters(request);
    const qint64 bytes = parameters.number("bytes", 1024, 0, std::numeric_limits<qint64>::max());
    const QString name = parameters.text("name", "sample.txt");
    const bool base64 = parameters.number("base64", 0, 0, 1) == 1;
    SimReply reply;
    if (base64) {
        QByteArray content(int(qMin(bytes, maxBase64Bytes)), '\0');
        for (int i = 0; i < content.size(); ++i)
            content[i] = sampleByte(i);
        reply = fileReply(content, name, true);
    } else {
        reply.contentType = "application/octet-stream";
        reply.stream = sampleStream(bytes, parameters.number("pieceBytes", 64 * 1024, 1, 1 << 24),
                                    int(parameters.number("trickleMs", 0, 0, 2000)),
                                    parameters.number("failAt", -1, 0, bytes));
        addHeader(reply.headers, "size", QByteArray::number(bytes));
        addHeader(reply.headers, "name", name.toUtf8());
    }
    // "size=0" leaves the size header out; any other number is announced instead of the length.
    if (parameters.has("size")) {
        removeHeader(reply.headers, "size");
        if (parameters.text("size") != "0")
            addHeader(reply.headers, "size", parameters.text("size").toUtf8());
    }
    if (parameters.has("noName"))
        removeHeader(reply.headers, "name");
    return reply;
}

SimReply ExportRoutes::deviceReport(const SimRequest &request) const
{
    const ExportParameters parameters(request);
    const QString shopCode = parameters.text("shopCode");
    QByteArray csv = csvLine({"Device", "Name", "Type", "Model", "Shop", "Channels", "Online"});
    for (const QJsonValue &value : m_devices.devices()) {
        const QJsonObject device = value.toObject();
        if (!shopCode.isEmpty() && device.value("shopCode").toString() != shopCode)
            continue;
        csv += csvLine({device.value("deviceId").toString(), device.value("deviceName").toString(),
                        device.value("deviceType").toString(),
                        device.value("deviceModel").toString(),
                        m_devices.shopName(device.value("shopCode").toString()),
                        QString::number(device.value("channels").toArray().size()),
                        device.value("online").toBool(true) ? "yes" : "no"});
    }
    return fileReply(csv, "devices-" + today("yyyyMMdd") + ".csv",
                     parameters.number("base64", 0, 0, 1) == 1);
}

SimReply ExportRoutes::alarmReport(const SimRequest &request) const
{
    const ExportParameters parameters(request);
    const QString deviceId = parameters.text("deviceId");
    const qint64 messageType = parameters.number("messageType", 0, 0, 1000);
    QByteArray csv = csvLine({"Message", "Time", "Type", "Title", "Shop", "Device", "Channel"});
    for (const QJsonValue &value : m_webApp.messagesAfter(0)) {
        const QJsonObject message = value.toObject();
        if ((!deviceId.isEmpty() && message.value("deviceId").toString() != deviceId)
            || (messageType != 0 && message.value("messageType").toInt() != messageType))
            continue;
        csv += csvLine({message.value("messageID").toString(), message.value("time").toString(),
                        QString::number(message.value("messageType").toInt()),
                        message.value("title").toString(), message.value("shopName").toString(),
                        message.value("deviceName").toString(),
                        message.value("channelName").toString()});
    }
    return fileReply(csv, "alarms-" + today("yyyyMMdd-HHmmss") + ".csv",
                     parameters.number("base64", 0, 0, 1) == 1);
}

SimReply ExportRoutes::qrCode(const SimRequest &request) const
{
    const QString deviceId = ExportParameters(request).text("deviceId");
    for (const QJsonValue &device : m_devices.devices()) {
        if (device.toObject().value("deviceId").toString() != deviceId)
            continue;
        const QByteArray png = QrCodePicture::png("orvane://device/" + deviceId);
        return SimReply::success(QJsonObject {{"name", deviceId + "-qrcode.png"},
                                              {"content", QString::fromLatin1(png.toBase64())}});
    }
    return SimReply::refusal(404, "no device " + deviceId);
}
