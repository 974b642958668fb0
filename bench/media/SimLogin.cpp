#include "SimLogin.h"

#include <SimProcess.h>
#include <httplib.h>

#include <cstdio>

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

int SimLogin::start(SimProcess &sim, const char *benchmark)
{
    QString error;
    if (!sim.start(ORVANE_SIM_BINARY, {"--http-port", "0", "--no-https"}, &error)) {
        std::fprintf(stderr, "%s: orvane-sim did not start: %s\n", benchmark, qPrintable(error));
        return 0;
    }
    return sim.port("http");
}
