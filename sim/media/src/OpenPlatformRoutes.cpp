#include "SimMedia/OpenPlatformRoutes.h"

#include "SimMedia/MediaServer.h"
#include "SimMedia/RecordSchedule.h"

#include <httplib.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <memory>

namespace SimMedia {

namespace {

void reply(httplib::Response &res, int status, int code, const QString &message,
           const QJsonValue &data = QJsonValue())
{
    QJsonObject body {{"code", code}, {"message", message}};
    if (!data.isUndefined() && !data.isNull())
        body.insert("data", data);
    res.status = status;
    res.set_content(QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString(),
                    "application/json; charset=utf-8");
}

void badRequest(httplib::Response &res, const QString &what)
{
    reply(res, 400, 400, "bad request: " + what);
}

void notFound(httplib::Response &res)
{
    reply(res, 404, 404, "no such device, channel or recording");
}

// Query parameters, read strictly: a missing or malformed number is a bad request.
class Query
{
public:
    Query(const httplib::Request &req, httplib::Response &res)
        : m_req(req)
        , m_res(res)
    { }
    bool text(const char *name, std::string *value)
    {
        *value = m_req.get_param_value(name);
        return ok(!value->empty(), name);
    }
    bool number(const char *name, int64_t *value, int64_t fallback = INT64_MIN)
    {
        const std::string raw = m_req.get_param_value(name);
        if (raw.empty() && fallback != INT64_MIN) {
            *value = fallback;
            return true;
        }
        bool good = false;
        *value = QString::fromStdString(raw).toLongLong(&good);
        return ok(good, name);
    }

private:
    bool ok(bool good, const char *name)
    {
        if (!good)
            badRequest(m_res, QString("parameter \"%1\"").arg(name));
        return good;
    }
    const httplib::Request &m_req;
    httplib::Response &m_res;
};

// A JSON object body; false (and 400) when the body is not one.
bool jsonBody(const httplib::Request &req, httplib::Response &res, QJsonObject *body)
{
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(req.body));
    if (!doc.isObject()) {
        badRequest(res, "body is not a JSON object");
        return false;
    }
    *body = doc.object();
    return true;
}

QString localText(int64_t seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString("yyyy-MM-dd HH:mm:ss");
}

void replyAddress(httplib::Response &res, const MediaServer::Address &address)
{
    if (address.status != 0)
        notFound(res);
    else
        reply(res, 200, 0, "ok", QJsonObject {{"url", QString::fromStdString(address.url)}});
}

class Routes
{
public:
    Routes(MediaServer &media, TokenValidator validator)
        : m_media(media)
        , m_validator(std::move(validator))
    { }

    // Whether the request carries a bearer token the platform accepts.
    bool authorized(const httplib::Request &req) const
    {
        const std::string auth = req.get_header_value("Authorization");
        const std::string prefix = "Bearer ";
        return auth.compare(0, prefix.size(), prefix) == 0 && m_validator
            && m_validator(auth.substr(prefix.size()));
    }

    void live(const httplib::Request &req, httplib::Response &res)
    {
        Query q(req, res);
        std::string device;
        int64_t channel, definition;
        if (q.text("deviceId", &device) && q.number("channel", &channel)
            && q.number("definition", &definition, 1)) {
            replyAddress(res,
                         m_media.liveAddress(device, static_cast<int>(channel),
                                             static_cast<int>(definition)));
        }
    }

    void playback(const httplib::Request &req, httplib::Response &res)
    {
        Query q(req, res);
        std::string device;
        int64_t channel, source, begin = 0, end = 0;
        if (!q.text("deviceId", &device) || !q.number("channel", &channel)
            || !q.number("source", &source, 0))
            return;
        const int64_t now = QDateTime::currentSecsSinceEpoch();
        if (req.has_param("recordId")) {
            Record r;
            if (!RecordSchedule::find(device, static_cast<int>(channel), static_cast<int>(source),
                                      req.get_param_value("recordId"), now, &r)) {
                notFound(res);
                return;
            }
            // A recording may be played from a moment inside it.
            int64_t from = r.begin;
            if (!q.number("begin", &from, r.begin))
                return;
            begin = std::max(r.begin, std::min(from, r.end - 1));
            end = r.end;
        } else if (!q.number("begin", &begin) || !q.number("end", &end)) {
            return;
        }
        replyAddress(res,
                     m_media.playbackAddress(device, static_cast<int>(channel),
                                             static_cast<int>(source), begin, end));
    }

    void talk(const httplib::Request &req, httplib::Response &res)
    {
        Query q(req, res);
        std::string device;
        int64_t channel;
        if (q.text("deviceId", &device) && q.number("channel", &channel, 1))
            replyAddress(res, m_media.talkAddress(device, static_cast<int>(channel)));
    }

    void records(const httplib::Request &req, httplib::Response &res)
    {
        Query q(req, res);
        std::string device;
        int64_t channel, source, begin, end;
        if (!q.text("deviceId", &device) || !q.number("channel", &channel)
            || !q.number("source", &source, 0) || !q.number("begin", &begin)
            || !q.number("end", &end))
            return;
        if (!knownChannel(device, static_cast<int>(channel))) {
            notFound(res);
            return;
        }
        QJsonArray list;
        for (const Record &r :
             RecordSchedule::between(device, static_cast<int>(channel), static_cast<int>(source),
                                     begin, end, QDateTime::currentSecsSinceEpoch())) {
            list.append(QJsonObject {{"recordId", QString::fromStdString(r.id)},
                                     {"beginTime", localText(r.begin)},
                                     {"endTime", localText(r.end)},
                                     {"begin", static_cast<qint64>(r.begin)},
                                     {"end", static_cast<qint64>(r.end)},
                                     {"type", r.type},
                                     {"size", static_cast<qint64>(r.size)}});
        }
        reply(res, 200, 0, "ok", QJsonObject {{"records", list}});
    }

    void bitmap(const httplib::Request &req, httplib::Response &res)
    {
        Query q(req, res);
        std::string device;
        int64_t channel, source, year, month;
        if (!q.text("deviceId", &device) || !q.number("channel", &channel)
            || !q.number("source", &source, 0) || !q.number("year", &year)
            || !q.number("month", &month))
            return;
        if (!knownChannel(device, static_cast<int>(channel))) {
            notFound(res);
            return;
        }
        if (month < 1 || month > 12 || year < 1970 || year > 9999) {
            badRequest(res, "year or month out of range");
            return;
        }
        const std::string bits = RecordSchedule::monthBitmap(
            device, static_cast<int>(channel), static_cast<int>(source), static_cast<int>(year),
            static_cast<int>(month), QDateTime::currentSecsSinceEpoch());
        reply(res, 200, 0, "ok", QJsonObject {{"bitmap", QString::fromStdString(bits)}});
    }

    void ptz(const httplib::Request &req, httplib::Response &res)
    {
        QJsonObject body;
        if (!jsonBody(req, res, &body))
            return;
        const std::string device = body.value("deviceId").toString().toStdString();
        const int channel = body.value("channel").toInt(-1);
        if (!knownChannel(device, channel)) {
            notFound(res);
            return;
        }
        if (!m_media.ptz(device, channel, body.value("operation").toInt(-1),
                         body.value("duration").toInt(600000))) {
            badRequest(res, "unknown operation");
            return;
        }
        reply(res, 200, 0, "ok");
    }

    void deviceWeb(const httplib::Request &req, httplib::Response &res)
    {
        QJsonObject body;
        if (!jsonBody(req, res, &body))
            return;
        const int port = m_media.webPort(body.value("deviceId").toString().toStdString());
        if (port <= 0) {
            notFound(res);
            return;
        }
        reply(res, 200, 0, "ok", QJsonObject {{"host", "127.0.0.1"}, {"port", port}});
    }

private:
    bool knownChannel(const std::string &device, int channel) const
    {
        const MediaDevice *d = m_media.device(device);
        return d && d->channel(channel);
    }
    MediaServer &m_media;
    TokenValidator m_validator;
};

} // namespace

void registerOpenPlatformRoutes(httplib::Server &http, MediaServer &media, TokenValidator validator)
{
    // The routes live as long as the HTTP server's handlers do.
    auto routes = std::make_shared<Routes>(media, std::move(validator));
    using Handler = void (Routes::*)(const httplib::Request &, httplib::Response &);
    auto guarded = [routes](Handler handler) {
        return [routes, handler](const httplib::Request &req, httplib::Response &res) {
            if (!routes->authorized(req))
                reply(res, 401, 100, "token refused");
            else
                ((*routes).*handler)(req, res);
        };
    };
    http.Get("/openapi/v1/stream/live", guarded(&Routes::live));
    http.Get("/openapi/v1/stream/playback", guarded(&Routes::playback));
    http.Get("/openapi/v1/stream/talk", guarded(&Routes::talk));
    http.Get("/openapi/v1/records", guarded(&Routes::records));
    http.Get("/openapi/v1/records/bitmap", guarded(&Routes::bitmap));
    http.Post("/openapi/v1/ptz", guarded(&Routes::ptz));
    http.Post("/openapi/v1/device/web", guarded(&Routes::deviceWeb));
}

} // namespace SimMedia
