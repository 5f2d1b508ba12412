#pragma once

// The link between the running panel and quorlinctl.
//
// Transport: a QLocalSocket to the panel's QLocalServer at endpointName(). On
// Linux that is the socket <runtime dir>/quorlinctl, in the runtime directory
// the platform layer uses (mode 0700), itself mode 0600; on Windows the pipe
// \\.\pipe\quorlinctl-<user name>, whose security lets in the current user
// only. One connection carries one request and one reply, then the panel
// closes it.
//
// Request: one line of UTF-8 JSON ending in '\n', at most kMaxRequestBytes
// with the newline:
//
//   {"version":1,"command":"set","arguments":["headphone.volume=-20"],"options":[]}
//
//   version    kProtocolVersion; the panel answers any other with status 1
//   command    the command family: "status", "list", "get", "set"; a new
//              family is one more row in the panel's dispatch table
//              (app/control_server.cpp) and in quorlinctl's (ctl/main.cpp)
//   arguments  the words after the command, as typed (at most kMaxArguments)
//   options    the long options given, without their dashes ("json")
//
// Reply: one line of UTF-8 JSON ending in '\n':
//
//   {"status":0,"output":"headphone.volume=-20\n","error":""}
//
//   status     what quorlinctl exits with (ExitStatus)
//   output     what it prints on standard output
//   error      what it prints on standard error
//
// A request the panel cannot read gets a reply with status 1; an oversized
// one gets that reply and the connection is closed. Texts are plain English,
// the same in every user language, so that scripts can rely on them.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace remote {

inline constexpr int kProtocolVersion = 1;
inline constexpr int kMaxRequestBytes = 64 * 1024;
inline constexpr int kMaxArguments = 256;
// Replies are small (the longest is list --json, a few kilobytes); a reader
// stops at this size.
inline constexpr int kMaxReplyBytes = 1024 * 1024;

// quorlinctl's exit statuses, carried in every reply.
enum ExitStatus : int {
    Done = 0,
    BadRequest = 1, // usage error, unknown name or bad value: nothing changed
    NoPanel = 2,    // no panel running (or not reachable)
    NoUnit = 3,     // the panel runs, but no unit is connected
    Refused = 4,    // the unit refused a change
};

struct Request {
    QString command;
    QStringList arguments;
    QStringList options;

    bool hasOption(const QString& name) const { return options.contains(name); }
};

struct Reply {
    int status = Done;
    QString output;
    QString error;
};

// Where the panel listens, for QLocalServer::listen and
// QLocalSocket::connectToServer.
QString endpointName();

// One line each, '\n' included.
QByteArray serializeRequest(const Request& request);
QByteArray serializeReply(const Reply& reply);

// Reads one line (with or without its '\n'). On failure returns false and
// says why in `error`, in words fit for the user.
bool parseRequest(const QByteArray& line, Request* request, QString* error);
bool parseReply(const QByteArray& line, Reply* reply);

} // namespace remote
