#pragma once

#include "CommonUI/QCustomWidget.h"
#include "Records/VideoRecords.h"
#include "VideoMonitor/CMaskManager.h"
#include "VideoMonitor/IVideoMonitorListener.h"

#include <memory>

class CVideoMonitor;
class QRecordVideoPlay;
class QShadowWidget;

namespace Web {
class IWebViewManager;
}

// The live view: native video laid over the web page where the page says, with the page's
// dialogs cut out of it, and the windows' status and selection reported back to the page
// (docs/live-view.md). The video area is the playback module, so that the same 16 windows show
// live video and recordings.
class QVideoMonitor : public QCustomWidget, public IVideoMonitorListener
{
    Q_OBJECT

public:
    // Opacity (0 to 255) of the overlay that dims the video while a page dialog asks for it.
    static constexpr double kShadowAlpha = 102;

    explicit QVideoMonitor(QWidget *parent = nullptr);
    ~QVideoMonitor() override;

    // Takes the page's requests from manager (not owned) and reports to it.
    void setWebViewManager(Web::IWebViewManager *manager);

    QRecordVideoPlay *recordVideoPlay() const { return m_recordVideoPlay; }
    CVideoMonitor *monitor() const { return m_monitor.get(); }
    QShadowWidget *shadow() const { return m_shadow; }

    void setRect(int x, int y, int width, int height) override;
    void setMask(const QRect &rect, const QString &name, bool show, bool shade) override;
    void openVideos(const QList<ChannelInfo_t> &channels) override;
    void closeVideos(const QList<ChannelInfo_t> &channels) override;
    void notifyDeviceStatus(const QString &text, const ChannelInfo_t &channel) override;

public Q_SLOTS:
    void onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info);
    void onWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The overlay covers the parent (whose coordinates the page's rectangles are in).
    void placeShadow();

    QRecordVideoPlay *m_recordVideoPlay;
    std::unique_ptr<CVideoMonitor> m_monitor;
    CMaskManager m_masks;
    QShadowWidget *m_shadow;
};
