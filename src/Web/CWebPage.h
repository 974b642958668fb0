#pragma once

#include <QString>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>

namespace Web {

// The browser page of a web view, on the default profile: logs the page's console messages and
// leaves certificate errors to whoever handles sgnCertificateErrorHandler.
class CWebPage : public QWebEnginePage
{
    Q_OBJECT

public:
    // name: how the page is called in the log ("Main" for the main window's page).
    CWebPage(const QString &name, QObject *parent);

signals:
    // A certificate error of a load; the handler answers true to let the load go on.
    bool sgnCertificateErrorHandler(QWebEngineCertificateError error);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;
    // The handler's answer; false (refused) when no handler is connected.
    bool certificateError(const QWebEngineCertificateError &error) override;

private:
    QString m_name;
};

} // namespace Web
