#include "CommonUI/VideoBar/QSpeedSetWidget.h"

#include "CommonUI/QCustomWidget.h"
#include "ui_SpeedSetWidget.h"

#include <QBitmap>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {

const char kBackground[] = "./Skin/storeSuite/DustyBlue/VideoBar/PlayButton/SpeedSet-Dlg.png";
const QSize kSize(150, 40);

} // namespace

QSpeedSetWidget::QSpeedSetWidget(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_ui(new Ui::SpeedSetWidget)
    , m_background(QPixmap(kBackground).scaled(kSize))
{
    m_ui->setupUi(this);
    setObjectName("QSpeedSetWidget");
    setWindowOpacity(0.9);
    setFixedSize(kSize);
    if (!m_background.isNull())
        setMask(m_background.mask());

    for (int speed : speeds()) {
        auto *button = findChild<QPushButton *>(QString("VB_%1_Speed").arg(speed));
        button->setAccessibleName(tr("speed %1").arg(speed));
        connect(button, &QPushButton::clicked, this, [this, speed] { emit sgnSpeedSet(speed); });
    }
    QCustomWidget::applySkinStyleSheet(this);
}

QSpeedSetWidget::~QSpeedSetWidget()
{
    delete m_ui;
}

const QVector<int> &QSpeedSetWidget::speeds()
{
    static const QVector<int> table = {1, 2, 4, 6, 8};
    return table;
}

int QSpeedSetWidget::steppedSpeed(int speed, int step)
{
    // A speed between two offered ones steps to the neighbour in the step's direction.
    const auto &table = speeds();
    if (step > 0) {
        const auto next = std::upper_bound(table.begin(), table.end(), speed);
        return next == table.end() ? speed : *next;
    }
    const auto next = std::lower_bound(table.begin(), table.end(), speed);
    return next == table.begin() ? speed : *(next - 1);
}

void QSpeedSetWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
}
