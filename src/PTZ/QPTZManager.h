#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class QPTZWidget;
class QTimer;

namespace Common {
class FramelessHelper;
}
namespace StreamCore {
class PtzControlDll;
}

// Hosts the PTZ panel for one camera channel: the main window creates it on the play panel's
// request, places it, and closes it. Every press on the panel sends one move command through
// the media library's PTZ control and every release one stop command. The host itself is an
// invisible child of the main window that lets the mouse through; the panel is a window of its
// own that follows the host's place and size and can be dragged away by its title bar.
class QPTZManager : public QWidget
{
    Q_OBJECT

public:
    // How long a move may last without a stop, in milliseconds.
    static constexpr int kMoveDuration = 600000;
    // The media library's stop operation.
    static constexpr int kStopOperation = 10;

    // fullScreen: the requesting play panel is full screen; the panel then stays on top of it.
    QPTZManager(QWidget *parent, bool fullScreen);
    ~QPTZManager() override;

    QPTZWidget *panel() const { return m_panel; }
    // Whether the camera zooms itself (the channel has the "PT" ability). Without, the zoom
    // buttons zoom the picture of the channel's window digitally, step by step while held.
    void setOpticalZoom(bool on) { m_opticalZoom = on; }
    // The media library's operation for a button code and action: stop on release, else the
    // code's move (stop for an unknown code).
    static int operationOf(int code, int action);

Q_SIGNALS:
    void sgnPtzWidgetClose();

public Q_SLOTS:
    void onSetPTZParams(QString strDevID, int nChannelID);
    void onHandlePTZWidgetMsg(int code, int action);
    void onPtzWidgetClose();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void followHost();
    // Zoom buttons on a camera without optical zoom; true when the code was one of them.
    bool zoomDigitally(int code, int action);

    QPTZWidget *m_panel;
    Common::FramelessHelper *m_frameless;
    std::unique_ptr<StreamCore::PtzControlDll> m_control;
    QString m_deviceID;
    QString m_token;
    int m_channelID = -1;
    int m_code = 0;
    int m_action = 0;
    bool m_opticalZoom = true;
    int m_digitalStep = 0; // +1 in, -1 out while a zoom button is held
    QTimer *m_digitalRepeat;
};
