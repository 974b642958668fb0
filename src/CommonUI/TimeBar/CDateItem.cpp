#include "CDateItem.h"

#include <QMovie>
#include <QStyle>

namespace {
const char kStatus[] = "DateItemStatus";
const char kLoadingAnimation[]
    = "./skin/storeSuite/DustyBlue/QRecordCalendaerBar/datepreloading.gif";
} // namespace

CDateItem::CDateItem(QWidget *parent)
    : QLabel(parent)
{
    setObjectName("CDateItem");
    setAlignment(Qt::AlignCenter);
    setStyleProperty(kStatus, "normal");
}

CDateItem::~CDateItem()
{
    delete m_loading;
}

void CDateItem::setRect(const QRectF &rect)
{
    m_rect = rect;
    m_itemWidth = int(rect.width());
    const QRect pixels = rect.toRect();
    setFixedSize(pixels.size());
    move(pixels.topLeft());
    if (m_loading)
        m_loading->setGeometry(pixels);
}

void CDateItem::setDate(const QDate &date)
{
    m_date = date;
    setText(QString::number(date.day()));
    setFuture(date > QDate::currentDate());
}

void CDateItem::shift(int n)
{
    setRect(m_rect.translated(-n * m_itemWidth, 0));
}

void CDateItem::setSelected(bool selected)
{
    setStyleProperty(kStatus, selected ? "selected" : "normal");
}

void CDateItem::setFuture(bool future)
{
    setStyleProperty(kStatus, future ? "future" : "normal");
}

void CDateItem::setHasRecord(bool hasRecord)
{
    setStyleProperty("HasRecord", hasRecord);
}

QString CDateItem::status() const
{
    return property(kStatus).toString();
}

void CDateItem::setLoading(QWidget *parent, bool on)
{
    if (!on) {
        delete m_loading;
        m_loading = nullptr;
        return;
    }
    if (m_loading || !parent)
        return;
    m_loading = new QLabel(parent);
    m_loading->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_loading->setAttribute(Qt::WA_TranslucentBackground);
    m_loading->setStyleSheet("background: transparent;");
    m_loading->setGeometry(m_rect.toRect());
    auto *movie = new QMovie(kLoadingAnimation, QByteArray(), m_loading);
    movie->setScaledSize(m_rect.size().toSize());
    m_loading->setMovie(movie);
    movie->start();
    m_loading->show();
    m_loading->raise();
}

void CDateItem::mousePressEvent(QMouseEvent *event)
{
    emit sgnDateItemSelected(m_date);
    QLabel::mousePressEvent(event);
}

// The style sheet reads the property only when the widget is polished again.
void CDateItem::setStyleProperty(const char *name, const QVariant &value)
{
    setProperty(name, value);
    style()->unpolish(this);
    style()->polish(this);
}
