#include "KWMessageBoxDialog.h"

#include "KWSkin.h"

#include <KWGui/KWGlobal.h>
#include <KWGui/KWMessageBox.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
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
    layout->addWidget(makeTitleBar(title));

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

QWidget *KWMessageBoxDialog::makeTitleBar(const QString &title)
{
    m_titleBar = new QWidget(this);
    m_titleBar->setObjectName("KWMessageBoxTitleBar");
    m_titleBar->setAttribute(Qt::WA_StyledBackground);
    m_titleBar->installEventFilter(this);
    auto *row = new QHBoxLayout(m_titleBar);
    row->setContentsMargins(16, 6, 6, 6);
    auto *titleLabel = new QLabel(title, m_titleBar);
    titleLabel->setObjectName("KWMessageBoxTitle");
    row->addWidget(titleLabel, 1);
    auto *close = new QPushButton(QStringLiteral("\u00D7"), m_titleBar);
    close->setObjectName("KWMessageBoxCloseBtn");
    close->setToolTip(tr("Close"));
    close->setFocusPolicy(Qt::NoFocus);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &KWMessageBoxDialog::reject);
    row->addWidget(close);
    return m_titleBar;
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

bool KWMessageBoxDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_titleBar)
        return QDialog::eventFilter(watched, event);
    // Frameless: the title bar moves the box.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        m_dragging = mouse->button() == Qt::LeftButton;
        m_dragOffset = mouse->globalPos() - pos();
        break;
    }
    case QEvent::MouseMove:
        if (m_dragging)
            move(static_cast<QMouseEvent *>(event)->globalPos() - m_dragOffset);
        break;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace KWGUI
