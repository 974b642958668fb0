#include "ClientBench.h"

#include "../media/SimLogin.h"

#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace {

constexpr const char *kRecorder = SimLogin::kDevice;
constexpr int kStandardDefinition = 1;
constexpr int kOpenTimeoutMs = 30000;

// Times the page's "VideoStatusChanged" notifications as they arrive (the page keeps them in
// window.__orvane.notifications without a time).
const char *const kWatchScript = R"((() => {
    if (window.__bench)
        return true;
    const bench = {status: []};
    const received = window.__orvane.notifications;
    const keep = received.push.bind(received);
    received.push = (entry) => {
        if (entry.method === 'VideoStatusChanged')
            bench.status.push({at: performance.now(), wnd: entry.params.wndID,
                               status: entry.params.status});
        return keep(entry);
    };
    window.__bench = bench;
    return true;
})())";

// The live view page announces its video area itself ("SetWndRect") once shown.
const char *const kAreaShown = "window.__orvane.calls.some((c) => c.method === 'SetWndRect' "
                               "&& c.params.module === 1 && c.params.right > c.params.left)";

// Opens the channels through the page's own bridge ("OpenVideo"); the video area's place on the
// screen, from the page's last "SetWndRect".
const char *const kOpenScript = R"((async () => {
    const {client} = await import('/js/bridge.js');
    const area = window.__orvane.calls
        .filter((c) => c.method === 'SetWndRect' && c.params.module === 1).pop().params;
    window.__bench.openedAt = performance.now();
    client.openVideo(1, %1);
    return {left: window.screenX + area.left, top: window.screenY + area.top,
            width: area.right - area.left, height: area.bottom - area.top};
})())";

// Milliseconds from the open request to each window's first playing status.
const char *const kFirstPictureScript = R"((() => {
    const b = window.__bench;
    const first = {};
    for (const s of b.status) {
        if (s.status === 3 && !(s.wnd in first))
            first[s.wnd] = s.at - b.openedAt;
    }
    return Object.values(first);
})())";

QJsonArray channelObjects(const std::string &token)
{
    QJsonArray channels;
    for (int i = 0; i < ClientBench::kChannels; ++i) {
        channels.append(QJsonObject {
            {"token", QString::fromStdString(token)},
            {"shopCode", "S001"},
            {"shopName", "Harbour Street"},
            {"deviceID", kRecorder},
            {"devName", "Harbour Street recorder"},
            {"devAbility", "RTSV1 PlaybackByFilename"},
            {"chnAbility", ""},
            {"deviceModel", "NVR-16"},
            {"brand", "general"},
            {"account", "admin"},
            {"password", ""},
            {"channelName", QString("Camera %1").arg(i + 1)},
            {"wndID", -1},
            {"platForm", 0},
            {"accessSource", 1},
            {"channelID", i + 1},
            {"definitionMode", kStandardDefinition},
            {"isOnline", 1},
        });
    }
    return channels;
}

} // namespace

QString ClientBench::writeDeviceFile() const
{
    QProcess sim;
    sim.start(qEnvironmentVariable("ORVANE_BIN_DIR") + "/orvane-sim", {"--print-default-devices"});
    if (!sim.waitForFinished())
        return {};
    QJsonObject file = QJsonDocument::fromJson(sim.readAllStandardOutput()).object();
    QJsonArray devices = file.value("devices").toArray();
    if (devices.isEmpty())
        return {};
    QJsonObject recorder = devices.first().toObject();
    QJsonArray channels;
    for (int i = 1; i <= kChannels; ++i)
        channels.append(
            QJsonObject {{"channelId", i}, {"channelName", QString("Camera %1").arg(i)}});
    recorder.insert("channels", channels);
    devices.replace(0, recorder);
    file.insert("devices", devices);
    const QString path = QDir(qEnvironmentVariable("ORVANE_TEST_ROOT")).filePath("devices.json");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(file).toJson()) <= 0)
        return {};
    return path;
}

bool ClientBench::startSim(QString *error)
{
    const QString devices = writeDeviceFile();
    if (devices.isEmpty()) {
        *error = "cannot write the device file";
        return false;
    }
    if (!m_session.startSim(error, {"--devices", devices}))
        return false;
    m_deviceToken = SimLogin::deviceToken(QUrl(m_session.simUrl()).port());
    if (m_deviceToken.empty()) {
        *error = "no device-platform token from the platform";
        return false;
    }
    return true;
}

QStringList ClientBench::channelUrls()
{
    QStringList urls;
    httplib::Client client("127.0.0.1", QUrl(m_session.simUrl()).port());
    for (int channel = 1; channel <= kChannels; ++channel) {
        const std::string path = std::string("/openapi/v1/stream/live?deviceId=") + kRecorder
            + "&channel=" + std::to_string(channel)
            + "&definition=" + std::to_string(kStandardDefinition);
        const auto reply = client.Get(path.c_str(), {{"Authorization", "Bearer " + m_deviceToken}});
        if (reply) {
            urls << QJsonDocument::fromJson(QByteArray::fromStdString(reply->body))
                        .object()
                        .value("data")
                        .toObject()
                        .value("url")
                        .toString();
        }
    }
    return urls;
}

bool ClientBench::startClient(QString *error)
{
    return m_session.startClient(error) && m_session.logIn("demo", "demo123", error)
        && m_session.page().click("#sidebar [data-menu=videoSurveillance]", error)
        && m_session.page().waitFor(kAreaShown, error)
        && m_session.page().evaluate(kWatchScript, error).toBool();
}

bool ClientBench::openChannels(QVector<double> *firstPictureMs, QString *error)
{
    const QString channels = QString::fromUtf8(
        QJsonDocument(channelObjects(m_deviceToken)).toJson(QJsonDocument::Compact));
    const QJsonObject area
        = m_session.page().evaluate(QString(kOpenScript).arg(channels), error).toObject();
    if (area.isEmpty())
        return false;
    m_area = QRect(area["left"].toInt(), area["top"].toInt(), area["width"].toInt(),
                   area["height"].toInt());
    const QString allPlaying = QString("new Set(window.__bench.status.filter((s) => s.status === "
                                       "3).map((s) => s.wnd)).size >= %1")
                                   .arg(kChannels);
    const bool playing = m_session.page().waitFor(allPlaying, error, kOpenTimeoutMs);
    firstPictureMs->clear();
    for (const QJsonValue &ms : m_session.page().evaluate(kFirstPictureScript).toArray())
        *firstPictureMs << ms.toDouble();
    return playing;
}

qint64 ClientBench::clientPid() const
{
    return m_session.client() ? m_session.client()->processId() : 0;
}
