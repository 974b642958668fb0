#include "ModuleViews.h"

#include "TesmarClient.h"
#include "RemoteDoor/QRemoteDoor.h"
#include "VideoMonitor/QVideoMonitor.h"

#include <utility>

namespace {

// A module view as a child of parent, taking the page's requests from web.
template<typename View> QWidget *makeView(QWidget *parent, Web::IWebViewManager *web)
{
    auto *view = new View(parent);
    view->setWebViewManager(web);
    return view;
}

const std::pair<const char *, TesmarClient::ModuleFactory> kModuleViews[] = {
    {"videoSurveillance", makeView<QVideoMonitor>},
    {"accessControl", makeView<QRemoteDoor>},
};

} // namespace

void RegisterModuleViews(TesmarClient &client)
{
    for (const auto &module : kModuleViews)
        client.SetModuleFactory(module.first, module.second);
}
