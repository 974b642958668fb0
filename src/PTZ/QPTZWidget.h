#pragma once

#include <QPointF>
#include <QWidget>

class QPushButton;

// The PTZ panel: a title bar with a close button, a round direction pad and the zoom buttons.
// It only reports what the user presses and releases (sgnPtzBtnEvent with a button code and an
// action); its host turns that into camera commands. A frameless, translucent dialog window
// that the user drags by its title bar.
class QPTZWidget : public QWidget
{
    Q_OBJECT

public:
    // Button codes.
    enum Code { Up = 1, Down = 2, Left = 3, Right = 4, ZoomIn = 10, ZoomOut = 11 };
    // Actions.
    enum Action { Pressed = 1, Released = 2 };
    // The pad is this wide and high; its centre is the middle.
    static constexpr int kPadSize = 200;
    // Height of the title bar, by which the panel is dragged.
    static constexpr int kTitleHeight = 40;

    explicit QPTZWidget(QWidget *parent = nullptr);

    // The direction code of a point of the pad (pad coordinates), 0 outside the ring or on a
    // sector border.
    static int directionAt(const QPointF &point);
    // The pad widget ("PTZCtrlWidget").
    QWidget *pad() const { return m_pad; }

Q_SIGNALS:
    void sgnPtzBtnEvent(int code, int action);
    void sgnPtzWidgetClose();

public Q_SLOTS:
    void onPtzZoomInPrssed();
    void onPtzZoomInReleased();
    void onPtzZoomOutPrssed();
    void onPtzZoomOutReleased();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *buildTitleBar();
    QWidget *buildPadArea();
    QWidget *buildZoomArea();
    QPushButton *zoomButton(const char *name, const QString &text);
    void handlePad(int action, const QPointF &point);
    void paintPad();

    QWidget *m_pad = nullptr;
};
