#include "SimLogin.h"

#include <ChildProcess.h>
#include <httplib.h>

#include <cstdio>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

std::string SimLogin::deviceToken(int httpPort)
{
    httplib::Client client("127.0.0.1", httpPort);
    const auto data = [](const httplib::Result &r) {
        return r ? QJsonDocument::fromJson(QByteArray::fromStdString(r->body))
                       .object()
                       .value("data")
                       .toObject()
                 : QJsonObject();
    };
    const std::string user
        = data(client.Post("/gateway/auth/login", R"({"userName":"demo","password":"demo123"})",
                           "application/json"))
              .value("token")
              .toString()
              .toStdString();
    return data(client.Get("/gateway/device/veltra/getTokenAndExpire",
                           {{"Authorization", "Bearer " + user}}))
        .value("token")
        .toString()
        .toStdString();
}

int SimLogin::start(ChildProcess &sim, const char *benchmark)
{
    QString error;
    if (!sim.startSim(QDir::tempPath(), &error, {"--no-https"}, ORVANE_SIM_BINARY)) {
        std::fprintf(stderr, "%s: %s\n", benchmark, qPrintable(error));
        return 0;
    }
    return sim.simPort("http");
}
