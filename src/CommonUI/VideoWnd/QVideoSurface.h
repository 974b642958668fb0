#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

class QLabel;
class QMovie;

// The native child of a video window in which the media library shows the picture. Without a
// picture it paints the background, the default picture and a status text; above the picture
// it shows the loading animation or a still picture (the last frame while a stream opens).
class QVideoSurface : public QWidget
{
    Q_OBJECT

public:
    explicit QVideoSurface(QWidget *parent = nullptr);

    void setStatusText(const QString &text);
    QString statusText() const { return m_statusText; }
    void setDefaultPictureOn(bool on);
    bool isDefaultPictureOn() const { return m_defaultPictureOn; }
    // Smallest point size of the status text (0: none).
    void setMinimumFontSize(int pointSize) { m_minimumFontSize = pointSize; }

    void startLoading();
    void stopLoading();
    bool isLoading() const;

    // Shows a picture over the video (a null picture hides it).
    void setStillPicture(const QPixmap &picture);
    bool hasStillPicture() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void paintStatusText(class QPainter &painter);

    const QColor m_textColor {120, 121, 127, 255};
    const QColor m_backgroundColor {43, 45, 51, 255};
    QPixmap m_defaultPicture;
    QMovie *m_loadingMovie;
    QLabel *m_loadingLabel;
    QLabel *m_stillLabel;
    QString m_statusText;
    bool m_defaultPictureOn = true;
    int m_minimumFontSize = 0;
};
