#include "Web/CWebRequestCheck.h"

#include <QCoreApplication>
#include <QJsonDocument>

namespace Web {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Web::CWebView", text);
}

} // namespace

bool CWebRequestCheck::parse(const QString &text, QJsonObject *request, QString *popup)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *popup = tr("Json error:") + error.errorString();
        return false;
    }
    *request = document.object();
    if (!request->contains(QLatin1String("method"))
        || !request->contains(QLatin1String("params"))) {
        *popup = tr("Json error: context is not format");
        return false;
    }
    return true;
}

} // namespace Web
