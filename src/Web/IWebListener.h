#pragma once

namespace Web {

class CWebBaseMsg;

// A native module that receives requests of the web page.
class IWebListener
{
public:
    // One request, on the GUI thread. The dispatch holds the message's reference: read it during
    // the call and do not keep the pointer.
    virtual void onRPCCall(CWebBaseMsg *msg) = 0;

protected:
    ~IWebListener() = default;
};

} // namespace Web
