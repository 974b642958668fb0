#include "KWToastStack.h"

#include "KWToast.h"

#include <QGuiApplication>
#include <QScreen>

namespace KWGUI {

namespace {
constexpr int kScreenMargin = 12;
constexpr int kSpacing = 8;

QRect availableArea()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}
} // namespace

KWToastStack::KWToastStack(int maxToasts, QObject *parent)
    : QObject(parent)
    , m_maxToasts(maxToasts)
{ }

KWToastStack::~KWToastStack()
{
    qDeleteAll(m_toasts);
}

void KWToastStack::push(KWToast *toast)
{
    connect(toast, &KWToast::finished, this, &KWToastStack::onFinished);
    m_toasts.prepend(toast);
    while (m_toasts.size() > m_maxToasts)
        m_toasts.last()->dismiss();
    relayout();
    toast->show();
    toast->start();
}

void KWToastStack::onFinished(KWToast *toast)
{
    m_toasts.removeOne(toast);
    relayout();
}

void KWToastStack::relayout()
{
    const QRect area = availableArea();
    int bottom = area.bottom() - kScreenMargin;
    QList<KWToast *> overflow;
    for (KWToast *toast : qAsConst(m_toasts)) {
        const int top = bottom - toast->height() + 1;
        // The newest always shows, even when taller than the screen allows.
        if (top < area.top() + kScreenMargin && toast != m_toasts.first()) {
            overflow.append(toast);
            continue;
        }
        toast->move(area.right() - kScreenMargin - toast->width() + 1, top);
        bottom = top - 1 - kSpacing;
    }
    for (KWToast *toast : qAsConst(overflow))
        toast->dismiss();
}

} // namespace KWGUI
