#pragma once

#include "SimReply.h"
#include "StopFlag.h"

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

// Puts the platform's answers on the wire, whole or trickled, or ends a connection unanswered.
class ReplyWriter
{
public:
    explicit ReplyWriter(const StopFlag &stop);

    // Writes the answer (a streamed one as it is made); with chunks above 0 the body leaves in that
    // many chunks, the first at once and then one every intervalMs (a body shorter than that is
    // padded with leading blanks, which JSON readers skip).
    void write(const SimReply &reply, int chunks, int intervalMs,
               httplib::Response &response) const;
    // Shuts the request's connection down, so that the client gets no answer at all.
    static bool closeConnection(const httplib::Request &request);

private:
    void writeStream(const std::shared_ptr<const SimStream> &stream, const std::string &contentType,
                     httplib::Response &response) const;

    const StopFlag &m_stop;
};
