#pragma once

#include <kwl/KRefObj.h>

#include <QMetaType>
#include <QString>

namespace Web {

// A request of the page, parsed: the method name under which it is dispatched. Used as it is for
// requests without parameters; the classes derived from it carry the parameters of the others.
// Listeners tell the classes apart by the method name.
class CWebBaseMsg : public KRefObj
{
public:
    explicit CWebBaseMsg(const QString &method = QString());
    ~CWebBaseMsg() override;

    QString method;
};

} // namespace Web

Q_DECLARE_METATYPE(Web::CWebBaseMsg *)
