#pragma once

#include "DeviceFile.h"
#include "SimRouter.h"
#include "TokenStore.h"

class WebAppRoutes;

// Export downloads of the gateway, with the bearer token: the reports the web application
// exports (devices by GET, alarm messages by POST), and a sample file whose every property is
// chosen by the request, for tests and benchmarks: length, "name" header, no "size" header,
// Base64 inside a JSON envelope, a slow trickle, a connection broken halfway. Files go out with
// the headers "size" (byte count), "name" (UTF-8 file name) and, for Base64, "isBase64: 1".
// Beside them the QR code picture of a device, which the page saves through the client.
class ExportRoutes
{
public:
    static constexpr const char *samplePath = "/gateway/export/sample";
    static constexpr const char *deviceReportPath = "/gateway/export/deviceReport";
    static constexpr const char *alarmReportPath = "/gateway/export/alarmReport";
    // GET ?deviceId=: data {"name", "content"}, a PNG of the device's QR code in Base64.
    static constexpr const char *qrCodePath = "/gateway/export/qrCode";
    // Largest sample sent as Base64 (the envelope is built in memory).
    static constexpr qint64 maxBase64Bytes = 64 * 1024 * 1024;

    ExportRoutes(const DeviceFile &devices, const TokenStore &tokens, const WebAppRoutes &webApp);

    // Adds the export routes (GET and POST each) to the router.
    void install(SimRouter &router);
    // The sample file's byte at offset: lines of 62 letters and digits.
    static char sampleByte(qint64 offset);

private:
    SimReply sample(const SimRequest &request) const;
    SimReply deviceReport(const SimRequest &request) const;
    SimReply alarmReport(const SimRequest &request) const;
    SimReply qrCode(const SimRequest &request) const;

    const DeviceFile &m_devices;
    const TokenStore &m_tokens;
    const WebAppRoutes &m_webApp;
};
