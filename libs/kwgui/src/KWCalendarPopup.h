#pragma once

#include <QFrame>

namespace KWGUI {

class KWRecordCalendar;

// The month pop-up of KWDateTimeCalendar: a start and an end calendar side by side (the end one
// hidden in start-only mode) in a frame that closes on a click outside it.
class KWCalendarPopup : public QFrame
{
    Q_OBJECT

public:
    explicit KWCalendarPopup(QWidget *parent = nullptr);

    KWRecordCalendar *startCalendar() const { return m_start; }
    KWRecordCalendar *endCalendar() const { return m_end; }
    void setEndShown(bool shown);
    // Shows the pop-up with its top left corner at the global position.
    void popUpAt(const QPoint &globalPos);

private:
    KWRecordCalendar *m_start;
    KWRecordCalendar *m_end;
};

} // namespace KWGUI
