#pragma once

#include <QJsonObject>
#include <QString>

namespace Web {

// The check of a request text of the page before it is queued.
class CWebRequestCheck
{
public:
    // The request object of text; false, with the pop-up text for the user, when the text is
    // not a JSON object or lacks "method" or "params".
    static bool parse(const QString &text, QJsonObject *request, QString *popup);
};

} // namespace Web
