#include "KWCalendarPopup.h"

#include "KWRecordCalendar.h"

#include <QHBoxLayout>

namespace KWGUI {

KWCalendarPopup::KWCalendarPopup(QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , m_start(new KWRecordCalendar(this))
    , m_end(new KWRecordCalendar(this))
{
    setObjectName("KWCalendarPopup");
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_start);
    layout->addWidget(m_end);
}

void KWCalendarPopup::setEndShown(bool shown)
{
    m_end->setVisible(shown);
    adjustSize();
}

void KWCalendarPopup::popUpAt(const QPoint &globalPos)
{
    adjustSize();
    move(globalPos);
    show();
}

} // namespace KWGUI
