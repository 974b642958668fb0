#pragma once

#include <QObject>
#include <QString>

namespace Web {

class CWebView;

// The object the page reaches as the channel object "server": requests come in through RPCCall,
// notifications go out through the RPCNotify signal.
class CWebChannelServer : public QObject
{
    Q_OBJECT

public:
    // view: the web view that receives the requests; also the parent.
    explicit CWebChannelServer(CWebView *view);

signals:
    // A notification text for the page.
    void RPCNotify(QString param);

public slots:
    // A request text of the page; handed to the view.
    void RPCCall(QString param);

private:
    CWebView *m_view;
};

} // namespace Web
