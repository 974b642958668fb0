#include "KWMessageBoxDialog.h"

#include "KWSkin.h"
#include "KWTitleBar.h"

#include <KWGui/KWGlobal.h>
#include <KWGui/KWMessageBox.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace KWGUI {

namespace {
constexpr int kMinimumWidth = 360;
} // namespace

KWMessageBoxDialog::KWMessageBoxDialog(QWidget *parent, const QString &title, const QString &text,
                                       int buttons)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_buttons(buttons)
    , m_answer(closeAnswer(buttons))
{
    setObjectName("KWMessageBox");
    setWindowTitle(title);
    setModal(true);
    setMinimumWidth(kMinimumWidth);
    setStyleSheet(KWSkin::StyleSheet(KWSkin::SchemeOf(GetSkinVersion())));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *titleBar = new KWTitleBar("KWMessageBox", title, true, this);
    connect(titleBar, &KWTitleBar::closeClicked, this, &KWMessageBoxDialog::reject);
    layout->addWidget(titleBar);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(20, 16, 20, 16);
    body->setSpacing(16);
    auto *textLabel = new QLabel(text, this);
    textLabel->setObjectName("KWMessageBoxText");
    textLabel->setWordWrap(true);
    body->addWidget(textLabel);

    auto *row = new QHBoxLayout;
    row->addStretch(1);
    if (buttons & KWMessageBox::Ok)
        row->addWidget(addButton("KWMessageBoxOkBtn", tr("OK"), KWMessageBox::Ok));
    if (buttons & KWMessageBox::Cancel)
        row->addWidget(addButton("KWMessageBoxCancelBtn", tr("Cancel"), KWMessageBox::Cancel));
    body->addLayout(row);
    layout->addLayout(body);
}

int KWMessageBoxDialog::closeAnswer(int buttons)
{
    return (buttons & KWMessageBox::Cancel) ? KWMessageBox::Cancel : KWMessageBox::Ok;
}

QPushButton *KWMessageBoxDialog::addButton(const char *objectName, const QString &text, int answer)
{
    auto *button = new QPushButton(text, this);
    button->setObjectName(objectName);
    // The confirming button answers Enter.
    button->setDefault(answer == KWMessageBox::Ok);
    connect(button, &QPushButton::clicked, this, [this, answer] {
        m_answer = answer;
        accept();
    });
    return button;
}

void KWMessageBoxDialog::reject()
{
    m_answer = closeAnswer(m_buttons);
    QDialog::reject();
}

} // namespace KWGUI
