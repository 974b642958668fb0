#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

// What the fuzz targets share: the fuzzer's bytes as Qt bytes, one application for the whole run
// (never torn down half-way by the exit handlers), a network answer delivered in two chunks, and
// a broken promise of the code under test reported as a finding.
namespace FuzzInput {

inline void require(bool holds)
{
    if (!holds)
        std::abort();
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size));
}

template<typename App> void application()
{
    static int argc = 1;
    static char name[] = "fuzz", *argv[] = {name, nullptr};
    static App *app = new App(argc, argv);
    Q_UNUSED(app)
}

template<typename Receiver>
void answer(Receiver &to, const QByteArray &body, const QString &request)
{
    to.onNetWorkReadyRead(body.left(body.size() / 2), request);
    to.onNetWorkReadyRead(body.mid(body.size() / 2), request);
    to.onNetWorkFinished(request);
}

} // namespace FuzzInput
