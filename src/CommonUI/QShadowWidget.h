#pragma once

#include "CommonUI/QCustomWidget.h"

#include <QMap>
#include <QRect>
#include <QString>

// A dimming overlay laid over the video while the page shows a dialog: a translucent black tool
// window with holes where the page's dialogs are, so that they stay bright and clickable. It is
// shown only while at least one of its holes asks for shading.
class QShadowWidget : public QCustomWidget
{
    Q_OBJECT

public:
    // alpha: opacity of the black, 0 to 255.
    explicit QShadowWidget(double alpha, QWidget *parent = nullptr);

    // Opens (show) or closes the hole named name at hole (widget coordinates); shade says
    // whether this dialog wants the rest dimmed.
    void UpdateShadow(const QRect &hole, const QString &name, bool show, bool shade);

    // Whether any stored hole asks for shading: the overlay shows after the next mask change.
    bool isShadeVisible() const { return m_visible; }

public slots:
    void onSetMaskTimeOut() override;
    void onClearMaskTimeOut() override;

private:
    struct Hole
    {
        QRect rect;
        bool shade = true;
    };

    // Shows or hides the overlay as the stored holes ask.
    void followShade();

    QMap<QString, Hole> m_holes;
    bool m_visible = false;
};
