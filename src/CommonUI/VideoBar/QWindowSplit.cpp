#include "CommonUI/VideoBar/QWindowSplit.h"

#include "CommonUI/QCustomWidget.h"
#include "CommonUI/VideoBar/VideoBarButtons.h"

#include <QBitmap>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

const char kBackground[] = "./Skin/storeSuite/DustyBlue/VideoBar/WindowSplit/WindowSplit.png";
// The size without a skin picture, so that the pop-up stays usable.
const QSize kFallbackSize(336, 72);

// The label texts, one per split count, for tr().
const char *const kLabels[] = {
    QT_TRANSLATE_NOOP("QWindowSplit", "1 split"), QT_TRANSLATE_NOOP("QWindowSplit", "4 split"),
    QT_TRANSLATE_NOOP("QWindowSplit", "6 split"), QT_TRANSLATE_NOOP("QWindowSplit", "8 split"),
    QT_TRANSLATE_NOOP("QWindowSplit", "9 split"), QT_TRANSLATE_NOOP("QWindowSplit", "16 split"),
};

} // namespace

QWindowSplit::QWindowSplit(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , m_background(kBackground)
{
    setObjectName("QWindowSplit");
    setWindowOpacity(0.9);

    auto *layout = new QGridLayout(this);
    layout->setObjectName("gridLayout");
    // The card's pointer takes the lowest pixels.
    layout->setContentsMargins(8, 4, 8, 12);
    layout->setSpacing(2);
    for (int i = 0; i < splitCounts().size(); ++i) {
        const int count = splitCounts().at(i);
        auto *button = new QPushButton(this);
        button->setObjectName(QString("VB_%1_Split").arg(count));
        button->setProperty("selected", false);
        auto *label = new QLabel(tr(kLabels[i]), this);
        label->setObjectName(QString("VB_%1_Label").arg(count));
        label->setAlignment(Qt::AlignCenter);
        button->setAccessibleName(label->text());
        layout->addWidget(button, 0, i, Qt::AlignCenter);
        layout->addWidget(label, 1, i);
        connect(button, &QPushButton::clicked, this, [this, count] {
            selectCount(count);
            emit sgnSplitSet(count);
        });
        m_buttons << button;
    }

    if (m_background.isNull()) {
        resize(kFallbackSize);
    } else {
        resize(m_background.size());
        setMask(m_background.mask());
    }
    QCustomWidget::applySkinStyleSheet(this);
    selectCount(4);
}

const QVector<int> &QWindowSplit::splitCounts()
{
    static const QVector<int> counts = {1, 4, 6, 8, 9, 16};
    return counts;
}

void QWindowSplit::selectCount(int count)
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        const bool selected = splitCounts().at(i) == count;
        if (m_buttons[i]->property("selected").toBool() != selected)
            VideoBarButtons::setStateProperty(m_buttons[i], "selected", selected);
    }
}

void QWindowSplit::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
}
