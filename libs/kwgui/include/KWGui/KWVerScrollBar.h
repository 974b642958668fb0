#pragma once

#include <QScrollBar>

namespace KWGUI {

// The library's vertical scroll bar: object name "KWVerScrollBar" for the skin's style sheet;
// reports its value with valueChanged(int).
class KWVerScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit KWVerScrollBar(QWidget *parent = nullptr);
};

} // namespace KWGUI
