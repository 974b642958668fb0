#pragma once

#include <QPixmap>
#include <QVector>
#include <QWidget>

namespace Ui {
class SpeedSetWidget;
}

// The speed pop-up of the video bar: one button per playback speed on the skin's card picture,
// scaled to 150 x 40, whose shape is also the window's mask.
class QSpeedSetWidget : public QWidget
{
    Q_OBJECT

public:
    explicit QSpeedSetWidget(QWidget *parent = nullptr);
    ~QSpeedSetWidget() override;

    // The speeds offered, in button order, slowest first.
    static const QVector<int> &speeds();
    // The offered speed step places from speed (+1 the next faster); speed itself at either end.
    static int steppedSpeed(int speed, int step);

signals:
    // A speed was chosen.
    void sgnSpeedSet(int nType);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::SpeedSetWidget *m_ui;
    QPixmap m_background;
};
