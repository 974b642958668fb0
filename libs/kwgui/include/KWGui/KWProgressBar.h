#pragma once

#include <QProgressBar>

namespace KWGUI {

// The library's progress bar: a QProgressBar styled as "KWProgressBar" (object name) until its
// owner names it. A range of 0 to 0 shows the busy animation, as in Qt.
class KWProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    explicit KWProgressBar(QWidget *parent = nullptr);
};

} // namespace KWGUI
