#pragma once

#include <kwl/KRefObj.h>
#include <kwl/KRefPtr.h>

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

// How a message travels from the factory to the listeners: each holder keeps a reference, and
// the last one to let go deletes the message, also when a queued hand-over never arrives.
using CWebMsgRef = KRefPtr<CWebBaseMsg>;

} // namespace Web

Q_DECLARE_METATYPE(Web::CWebBaseMsg *)
Q_DECLARE_METATYPE(Web::CWebMsgRef)
