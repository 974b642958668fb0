#pragma once

#include "CommonUI/QCustomWidget.h"
#include "MessageDetail/IMessageDetailListener.h"

#include <QPair>
#include <QRect>
#include <QVariant>

class CMessageDetail;
class QMessageVideoBar;
class QVideoFrame;

namespace Web {
class IWebViewManager;
}

// The alarm message detail laid over the page's message dialog: one video window that plays
// the channel live or the recording around the alarm's moment, and a small bar (pause, sound,
// full screen) shown while the mouse is over the video. The video never shows outside the
// page's dialog.
class QMessageDetail : public QCustomWidget, public IMessageDetailListener
{
    Q_OBJECT

public:
    // The owner type of its frame, carried by the frame's media events.
    static constexpr int kOwnerType = 301;
    // The reason code of its record queries: the answer plays the alarm's span.
    static constexpr int kRecordQuery = 4;

    explicit QMessageDetail(QWidget *parent = nullptr);
    ~QMessageDetail() override;

    // Gives the controller the web view.
    void setWebViewManager(Web::IWebViewManager *manager);

    CMessageDetail *detail() const { return m_detail; }
    QVideoFrame *frame() const { return m_frame; }
    QMessageVideoBar *videoBar() const { return m_videoBar; }
    QRect videoRect() const { return m_videoRect; }
    QRect dialogRect() const { return m_dialogRect; }
    bool isFullScreenOn() const { return m_fullScreen; }

    void setRect(int x, int y, int width, int height) override;
    void setDialogRect(int x, int y, int width, int height) override;
    void openVideos(const QList<ChannelInfo_t> &channels) override;
    void closeVideos(const QList<ChannelInfo_t> &channels) override;
    void openRecord(const MessageRecord_t &message) override;

public slots:
    void onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info);
    void onEndQueryRecordNotify(RecordQueryResult_t result);
    void onVideoBarBtnClick(QString name, QVariant value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void openChannel(const ChannelInfo_t &channel);
    void setFullScreen(bool on);
    void clipToDialog();
    void showBar();
    static void notify(const QString &text);

    QRect m_videoRect {0, 0, 0, 0};
    QRect m_dialogRect;
    QVideoFrame *m_frame;
    CMessageDetail *m_detail;
    QMessageVideoBar *m_videoBar;
    int m_barHeight = 40;
    bool m_fullScreen = false;
    // The alarm's span (seconds since 1970) as taken when it was opened: a message without a
    // moment keeps the moment it was opened at.
    QPair<qint64, qint64> m_span;
};
