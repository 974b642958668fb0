#include "KWToast.h"

#include <kwl/KPrintLog.h>

#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace KWGUI {

namespace {

constexpr int kFadeMs = 400;
constexpr int kMargin = 12;

const char *kindName(KWToast::Kind kind)
{
    switch (kind) {
    case KWToast::Link:
        return "link";
    case KWToast::Picture:
        return "picture";
    case KWToast::Record:
        return "record";
    case KWToast::File:
        return "file";
    case KWToast::Text:
        break;
    }
    return "text";
}

QPushButton *makeButton(const char *objectName, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    // Buttons of a toast must not pull the focus to it either.
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

KWToast::KWToast(const Content &content, const QString &styleSheet, int displayMs)
    : QFrame(nullptr,
             Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                 | Qt::WindowDoesNotAcceptFocus)
    , m_content(content)
    , m_displayMs(displayMs)
{
    setObjectName("KWMessageNotifyToast");
    setProperty("kind", kindName(content.kind));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(styleSheet);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(kMargin, 8, 8, kMargin);
    m_layout->setSpacing(6);
    addHeader(content.title);
    addText(content.text);
    if (content.kind == Picture)
        addPicture(content.extra);
    if (content.kind == Record || content.kind == File)
        addFileButtons(content.extra);

    setFixedWidth(kWidth);
    ensurePolished();
    const int height = heightForWidth(kWidth);
    resize(kWidth, height > 0 ? height : sizeHint().height());

    m_displayTimer.setSingleShot(true);
    connect(&m_displayTimer, &QTimer::timeout, this, &KWToast::fadeOut);
}

void KWToast::addHeader(const QString &title)
{
    auto *header = new QHBoxLayout;
    auto *titleLabel = new QLabel(title, this);
    titleLabel->setObjectName("KWToastTitle");
    titleLabel->setTextFormat(Qt::PlainText);
    header->addWidget(titleLabel, 1);
    QPushButton *close = makeButton("KWToastCloseBtn", QStringLiteral("\u00D7"), this);
    close->setToolTip(tr("Close"));
    connect(close, &QPushButton::clicked, this, &KWToast::dismiss);
    header->addWidget(close);
    m_layout->addLayout(header);
}

void KWToast::addText(const QString &text)
{
    m_text = new QLabel(text, this);
    m_text->setObjectName("KWToastText");
    // Texts come from the web page: never interpret them as markup.
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    if (m_content.kind == Link) {
        m_text->setProperty("link", true);
        m_text->setCursor(Qt::PointingHandCursor);
        m_text->installEventFilter(this);
    }
    m_layout->addWidget(m_text);
}

void KWToast::addPicture(const QString &file)
{
    const QPixmap picture(file);
    if (picture.isNull()) {
        KLOG(6, "cannot read the picture %s", qUtf8Printable(file));
        return;
    }
    auto *label = new QLabel(this);
    label->setObjectName("KWToastPicture");
    label->setAlignment(Qt::AlignCenter);
    const QSize box(kWidth - 2 * kMargin, kPictureHeight);
    label->setPixmap(picture.size().boundedTo(box) == picture.size()
                         ? picture
                         : picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_layout->addWidget(label);
}

void KWToast::addFileButtons(const QString &file)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton *openFile = makeButton("KWToastOpenFileBtn", tr("Open file"), this);
    connect(openFile, &QPushButton::clicked, this,
            [file] { QDesktopServices::openUrl(QUrl::fromLocalFile(file)); });
    row->addWidget(openFile);
    QPushButton *openFolder = makeButton("KWToastOpenFolderBtn", tr("Open folder"), this);
    connect(openFolder, &QPushButton::clicked, this, [file] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
    });
    row->addWidget(openFolder);
    m_layout->addLayout(row);
}

void KWToast::start()
{
    m_displayTimer.start(m_displayMs);
}

void KWToast::dismiss()
{
    if (m_finished)
        return;
    m_finished = true;
    m_displayTimer.stop();
    if (m_fade)
        m_fade->stop();
    hide();
    emit finished(this);
    deleteLater();
}

void KWToast::fadeOut()
{
    if (!m_fade) {
        m_fade = new QPropertyAnimation(this, "windowOpacity", this);
        m_fade->setDuration(kFadeMs);
        m_fade->setStartValue(1.0);
        m_fade->setEndValue(0.0);
        connect(m_fade, &QPropertyAnimation::finished, this, &KWToast::dismiss);
    }
    m_fade->start();
}

void KWToast::enterEvent(QEvent *event)
{
    // Hovering keeps the toast: the reader is looking at it.
    m_displayTimer.stop();
    if (m_fade && m_fade->state() == QAbstractAnimation::Running) {
        m_fade->stop();
        setWindowOpacity(1.0);
    }
    QFrame::enterEvent(event);
}

void KWToast::leaveEvent(QEvent *event)
{
    if (!m_finished)
        m_displayTimer.start(m_displayMs);
    QFrame::leaveEvent(event);
}

bool KWToast::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        emit linkClicked(m_content.extra);
        dismiss();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace KWGUI
