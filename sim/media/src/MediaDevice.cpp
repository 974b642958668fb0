#include "SimMedia/MediaDevice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace SimMedia {

const ChannelSpec *MediaDevice::channel(int channelId) const
{
    for (const ChannelSpec &c : channels) {
        if (c.id == channelId)
            return &c;
    }
    return nullptr;
}

namespace {

bool readSize(const QJsonObject &o, const char *key, int *width, int *height, std::string *error)
{
    if (!o.contains(QLatin1String(key)))
        return true;
    const QJsonArray a = o.value(QLatin1String(key)).toArray();
    const int w = a.size() == 2 ? a.at(0).toInt() : 0;
    const int h = a.size() == 2 ? a.at(1).toInt() : 0;
    // The encoders and the picture stamp need even sizes of a sensible range.
    if (w < 64 || h < 64 || w > 3840 || h > 2160 || w % 2 || h % 2) {
        *error = std::string("\"") + key + "\" must be [width, height], even, 64 to 3840x2160";
        return false;
    }
    *width = w;
    *height = h;
    return true;
}

bool readChannel(const QJsonObject &o, ChannelSpec *c, std::string *error)
{
    c->id = o.value("channelId").toInt(-1);
    if (c->id < 0 || c->id > 255) {
        *error = "\"channelId\" must be 0 to 255";
        return false;
    }
    c->name = o.value("channelName").toString().toStdString();
    c->codec = o.value("codec").toString("h264").toStdString();
    if (c->codec != "h264" && c->codec != "h265") {
        *error = "\"codec\" must be \"h264\" or \"h265\"";
        return false;
    }
    c->audio = o.value("audio").toBool(false);
    c->parameterSetsInBand = o.value("inBandParameterSets").toBool(true);
    c->rtspUrl = o.value("rtspUrl").toString().toStdString();
    return readSize(o, "high", &c->width[0], &c->height[0], error)
        && readSize(o, "standard", &c->width[1], &c->height[1], error);
}

bool readDevice(const QJsonObject &o, MediaDevice *d, std::string *error)
{
    d->id = o.value("deviceId").toString().toStdString();
    d->name = o.value("deviceName").toString().toStdString();
    if (d->id.empty()) {
        *error = "a device without \"deviceId\"";
        return false;
    }
    for (const QJsonValue &v : o.value("channels").toArray()) {
        ChannelSpec c;
        if (!v.isObject() || !readChannel(v.toObject(), &c, error)) {
            if (error->empty())
                *error = "a channel that is not an object";
            *error = "device " + d->id + ": " + *error;
            return false;
        }
        d->channels.push_back(c);
    }
    return true;
}

ChannelSpec makeChannel(int id, const std::string &name)
{
    ChannelSpec c;
    c.id = id;
    c.name = name;
    return c;
}

} // namespace

bool parseDevices(const std::string &json, std::vector<MediaDevice> *devices, std::string *error)
{
    QJsonParseError parseError {};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    if (doc.isNull()) {
        *error = "device list is not JSON: " + parseError.errorString().toStdString();
        return false;
    }
    const QJsonArray list = doc.isArray() ? doc.array() : doc.object().value("devices").toArray();
    std::vector<MediaDevice> parsed;
    for (const QJsonValue &v : list) {
        MediaDevice d;
        error->clear();
        if (!v.isObject()) {
            *error = "a device that is not an object";
            return false;
        }
        if (!readDevice(v.toObject(), &d, error))
            return false;
        parsed.push_back(d);
    }
    *devices = parsed;
    return true;
}

std::vector<MediaDevice> defaultDevices()
{
    MediaDevice recorder {"NVR0001", "Front shop recorder", {}};
    for (int i = 1; i <= 4; ++i)
        recorder.channels.push_back(makeChannel(i, "Camera " + std::to_string(i)));
    MediaDevice camera {"IPC0001", "Door camera", {makeChannel(1, "Door")}};
    MediaDevice dome {"IPC0002", "Store dome", {makeChannel(1, "Dome")}};
    dome.channels[0].codec = "h265";
    dome.channels[0].audio = true;
    return {recorder, camera, dome};
}

} // namespace SimMedia
