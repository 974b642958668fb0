#pragma once

#include <QList>
#include <QObject>

namespace KWGUI {

class KWToast;

// The toasts on screen, newest first: the newest sits in the bottom right corner of the
// primary screen's available area and older ones are stacked above it. When more than the cap,
// or more than fit on the screen, are shown, the oldest roll out.
class KWToastStack : public QObject
{
    Q_OBJECT

public:
    explicit KWToastStack(int maxToasts, QObject *parent = nullptr);
    ~KWToastStack() override;

    // Shows the toast at the bottom and starts its display time.
    void push(KWToast *toast);
    // The toasts on screen, newest first.
    QList<KWToast *> toasts() const { return m_toasts; }

private:
    void onFinished(KWToast *toast);
    void relayout();

    int m_maxToasts;
    QList<KWToast *> m_toasts;
};

} // namespace KWGUI
