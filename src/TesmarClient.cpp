#include "TesmarClient.h"

#include "ConfigInfo/CConfig.h"
#include "ConfigInfo/CLocalCfg.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

TesmarClient::TesmarClient()
{
    setObjectName("KWSStoreClient");
    const QByteArray program = ConfigInfo::CLocalCfg::Instance().GetProgram().toUtf8();
    setWindowTitle(QCoreApplication::translate("TesmarClient", program.constData()));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_QuitOnClose);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const double zoom = ConfigInfo::CConfig::Instance().GetWebInfo().zoomFactor;
    const QSize size = screen.width() >= 1280
        ? QSize(static_cast<int>(1280 * zoom), static_cast<int>(800 * zoom))
        : QSize(900, 600);
    setMinimumSize(size);
    resize(size);
    move((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2);
}
