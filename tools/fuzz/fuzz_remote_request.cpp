// A quorlinctl request as the panel's server reads it: any bytes of any
// length. Besides the sanitizers' checks, a request that is accepted must
// come back the same through serializeRequest and parseRequest, and must keep
// the format's limits; a refused one must say why.

#include "remote/remote_protocol.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray line(reinterpret_cast<const char*>(data), qsizetype(size));
    remote::Request request;
    QString error;
    if (!remote::parseRequest(line, &request, &error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    if (request.command.isEmpty() || request.arguments.size() > remote::kMaxArguments)
        std::abort();
    remote::Request again;
    if (!remote::parseRequest(remote::serializeRequest(request), &again, &error) ||
        again.command != request.command || again.arguments != request.arguments ||
        again.options != request.options)
        std::abort();
    remote::Reply reply;
    remote::parseReply(line, &reply); // must not crash either
    return 0;
}
