#pragma once

#include <QDate>
#include <QLabel>
#include <QPointer>

// One day cell of the record calendar's strip. Its look follows the property "DateItemStatus"
// ("selected", "normal" or "future") and "HasRecord"; a press reports its date.
class CDateItem : public QLabel
{
    Q_OBJECT

public:
    explicit CDateItem(QWidget *parent = nullptr);
    ~CDateItem() override;

    QDate date() const { return m_date; }
    QRectF rect() const { return m_rect; }
    // Fixed size and place from rect; the loading overlay follows.
    void setRect(const QRectF &rect);
    // Shows the day's number; a day after today is "future".
    void setDate(const QDate &date);
    // Moves the cell n cells to the left (right for negative n).
    void shift(int n);
    void setSelected(bool selected);
    void setFuture(bool future);
    void setHasRecord(bool hasRecord);
    QString status() const;
    // Lays an animation over the cell (a child of parent) while its day loads; off removes it.
    void setLoading(QWidget *parent, bool on);
    bool isLoading() const { return m_loading != nullptr; }

signals:
    void sgnDateItemSelected(QDate date);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void setStyleProperty(const char *name, const QVariant &value);

    QDate m_date;
    QRectF m_rect;
    int m_itemWidth = 0;
    // A child of the strip, not of the cell: it may go first when the strip goes.
    QPointer<QLabel> m_loading;
};
