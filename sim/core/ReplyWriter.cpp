#include "ReplyWriter.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

// The body cut into count non-empty pieces.
std::vector<std::string> pieces(QByteArray body, int count)
{
    if (body.size() < count)
        body.prepend(QByteArray(count - body.size(), ' '));
    std::vector<std::string> result;
    const int size = body.size() / count;
    for (int i = 0; i < count; ++i) {
        const int length = i + 1 == count ? body.size() - i * size : size;
        result.push_back(body.mid(i * size, length).toStdString());
    }
    return result;
}

int portOf(int fd, bool peer)
{
    sockaddr_in address {};
    socklen_t length = sizeof address;
    const int rc = peer ? ::getpeername(fd, reinterpret_cast<sockaddr *>(&address), &length)
                        : ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    if (rc != 0 || address.sin_family != AF_INET)
        return -1;
    return ntohs(address.sin_port);
}

} // namespace

ReplyWriter::ReplyWriter(const StopFlag &stop)
    : m_stop(stop)
{ }

void ReplyWriter::write(const SimReply &reply, int chunks, int intervalMs,
                        httplib::Response &response) const
{
    response.status = reply.status;
    for (const auto &header : reply.headers)
        response.set_header(header.first.toStdString(), header.second.toStdString());
    const std::string contentType = reply.contentType.toStdString();
    if (reply.stream) {
        writeStream(reply.stream, contentType, response);
        return;
    }
    if (chunks <= 0) {
        response.set_content(reply.body.toStdString(), contentType);
        return;
    }
    auto parts = std::make_shared<std::vector<std::string>>(pieces(reply.body, chunks));
    auto next = std::make_shared<size_t>(0);
    const StopFlag *stop = &m_stop;
    response.set_chunked_content_provider(
        contentType, [parts, next, stop, intervalMs](size_t, httplib::DataSink &sink) {
            if (*next > 0 && !stop->sleepFor(intervalMs))
                return false;
            const std::string &part = (*parts)[*next];
            if (!sink.write(part.data(), part.size()))
                return false;
            if (++*next == parts->size())
                sink.done();
            return true;
        });
}

void ReplyWriter::writeStream(const std::shared_ptr<const SimStream> &stream,
                              const std::string &contentType, httplib::Response &response) const
{
    const StopFlag *stop = &m_stop;
    response.set_content_provider(
        size_t(stream->length), contentType,
        [stream, stop](size_t offset, size_t length, httplib::DataSink &sink) {
            QByteArray piece;
            if (!stop->sleepFor(0) || !stream->next(qint64(offset), qint64(length), &piece)
                || piece.isEmpty())
                return false;
            return sink.write(piece.constData(), size_t(piece.size()));
        });
}

bool ReplyWriter::closeConnection(const httplib::Request &request)
{
    // httplib does not hand its socket to handlers: find it by the two ends of the connection.
    std::error_code ec;
    for (const auto &entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        const int fd = std::atoi(entry.path().filename().c_str());
        if (portOf(fd, false) == request.local_port && portOf(fd, true) == request.remote_port)
            return ::shutdown(fd, SHUT_RDWR) == 0;
    }
    return false;
}
