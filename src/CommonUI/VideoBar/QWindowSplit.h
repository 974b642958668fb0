#pragma once

#include <QPixmap>
#include <QVector>
#include <QWidget>

class QPushButton;

// The split pop-up of the video bar: one button per split count, each above its label, on the
// skin's card picture whose shape is also the window's mask. The chosen count is marked with
// the property "selected" so that the skin can show it.
class QWindowSplit : public QWidget
{
    Q_OBJECT

public:
    explicit QWindowSplit(QWidget *parent = nullptr);

    // The split counts offered, in button order.
    static const QVector<int> &splitCounts();
    // Marks the button of count as selected (none when no button has that count); no signal.
    void selectCount(int count);

signals:
    // A split count was chosen.
    void sgnSplitSet(int nType);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVector<QPushButton *> m_buttons;
    QPixmap m_background;
};
