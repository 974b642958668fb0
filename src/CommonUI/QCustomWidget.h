#pragma once

#include <QBitmap>
#include <QRegion>
#include <QWidget>

// A widget whose visible area can be cut by a mask, for views that lay native video over the web
// page and must leave the page's own dialogs visible. A new mask takes effect after a short
// delay (or at once), and clearing it waits a little too, so that a quick sequence of changes
// from the page does not make the view flicker; the later of two pending changes wins.
class QCustomWidget : public QWidget
{
    Q_OBJECT

public:
    explicit QCustomWidget(QWidget *parent = nullptr);

    // Stores region and applies it now when immediately, else 300 ms later.
    void SetMask(const QRegion &region, bool immediately);
    // Clears the mask 180 ms later.
    void ClearMask();

    // Draws the style sheet's background of widget, which a plain QWidget subclass otherwise
    // leaves out; for paint events of styled widgets.
    static void paintStyledBackground(QWidget *widget);
    // Applies the skin's style sheet named after widget's object name
    // ("<current directory>/Skin/<skin>/<object name>.qss"); a missing file leaves it unstyled.
    static void applySkinStyleSheet(QWidget *widget);
    // A mask of size shaped as a rectangle with rounded corners, for rounded windows.
    static QBitmap roundedMask(const QSize &size, int radius = 8);

public slots:
    // Applies the stored mask; hiding and showing again makes the native window take it.
    virtual void onSetMaskTimeOut();
    virtual void onClearMaskTimeOut();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRegion m_mask;
};
