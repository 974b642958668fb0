#include <KWGui/KWDialog.h>

#include "KWSkin.h"
#include "KWTitleBar.h"

#include <KWGui/KWGlobal.h>

#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace KWGUI {

KWDialog::KWDialog(QWidget *parent, int flags)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_titleBar(new KWTitleBar("KWDialog", QString(), flags & CloseButton, this))
    , m_central(new QWidget(this))
{
    setObjectName("KWDialog");
    setStyleSheet(KWSkin::StyleSheet(KWSkin::SchemeOf(GetSkinVersion())));
    m_central->setObjectName("KWDialogCentralWidget");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1); // the frame's border
    layout->setSpacing(0);
    layout->addWidget(m_titleBar);
    layout->addWidget(m_central, 1);
    connect(m_titleBar, &KWTitleBar::closeClicked, this, &KWDialog::OnCloseBtmClicked);
}

void KWDialog::SetTitle(const QString &title)
{
    m_titleBar->setTitle(title);
    setWindowTitle(title);
}

QString KWDialog::Title() const
{
    return m_titleBar->title();
}

void KWDialog::OnCloseBtmClicked()
{
    reject();
}

void KWDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        OnCloseBtmClicked();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        for (QPushButton *button : findChildren<QPushButton *>()) {
            if (button->isDefault() && button->isVisible() && button->isEnabled()) {
                button->click();
                return;
            }
        }
        accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace KWGUI
