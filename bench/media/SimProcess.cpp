#include "SimProcess.h"

#include <SimMedia/MediaServer.h>
#include <SimMedia/OpenPlatformRoutes.h>

#include <httplib.h>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// One recorder channel: 640x360 standard, 1280x720 high definition.
std::vector<SimMedia::MediaDevice> benchDevices()
{
    SimMedia::ChannelSpec channel;
    channel.id = 1;
    channel.name = "Bench";
    return {{SimProcess::kDevice, "Bench recorder", {channel}}};
}

[[noreturn]] void serve(int reportFd)
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    SimMedia::MediaServer media(benchDevices());
    httplib::Server http;
    int port = 0;
    if (media.start(0)) {
        SimMedia::registerOpenPlatformRoutes(
            http, media, [](const std::string &t) { return t == SimProcess::kToken; });
        port = http.bind_to_any_port("127.0.0.1");
    }
    (void)!write(reportFd, &port, sizeof port);
    close(reportFd);
    if (port > 0)
        http.listen_after_bind();
    _exit(port > 0 ? 0 : 1);
}

} // namespace

bool SimProcess::start()
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    m_pid = fork();
    if (m_pid == 0) {
        close(fds[0]);
        serve(fds[1]);
    }
    close(fds[1]);
    const bool reported = read(fds[0], &m_httpPort, sizeof m_httpPort) == sizeof m_httpPort;
    close(fds[0]);
    return m_pid > 0 && reported && m_httpPort > 0;
}

SimProcess::~SimProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}
