#include "Web/CWebPage.h"

#include <kwl/KPrintLog.h>

#include <QWebEngineProfile>

namespace Web {

CWebPage::CWebPage(const QString &name, QObject *parent)
    : QWebEnginePage(QWebEngineProfile::defaultProfile(), parent)
    , m_name(name)
{ }

void CWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                        int lineNumber, const QString &sourceID)
{
    KLOG(KPrintLog::Info, "[WebName] %s, Console message[%s],lineNumber[%d],sourceID[%s]",
         m_name.toLocal8Bit().constData(), message.toLocal8Bit().constData(), lineNumber,
         sourceID.toLocal8Bit().constData());
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceID);
}

bool CWebPage::certificateError(const QWebEngineCertificateError &error)
{
    return emit sgnCertificateErrorHandler(error);
}

} // namespace Web
