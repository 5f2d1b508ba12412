#include "app/control_server.h"

#include "remote/endpoint.h"

#include <QDebug>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

using remote::Reply;
using remote::Request;

namespace {

// The command families and the options each takes (space-separated, without
// dashes). A new family is one more row, and a row in ctl/main.cpp.
struct CommandEntry {
    const char* command;
    Reply (*run)(const ControlTarget&, const Request&);
    const char* options;
};
const CommandEntry kCommands[] = {
    {"status", &runStatus, ""},
    {"list", &runList, "json"},
    {"get", &runGet, ""},
    {"set", &runSet, ""},
    {"preset", &runPreset, "allow-phantom replace"},
};

} // namespace

ControlServer::ControlServer(const ControlTarget& controlTarget, QObject* parent)
    : QObject(parent)
    , target(controlTarget)
    , server(new QLocalServer(this))
{
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &ControlServer::acceptClients);
}

ControlServer::~ControlServer() = default;

bool ControlServer::listen()
{
    const QString name = remote::endpointName();
    if (!remote::prepareEndpoint()) {
        qDebug().noquote() << "quorlinctl server: no runtime directory for" << name;
        return false;
    }
    QLocalServer::removeServer(name);
    if (!server->listen(name)) {
        qDebug().noquote() << "quorlinctl server: cannot listen on" << name << "-"
                           << server->errorString();
        return false;
    }
    remote::restrictEndpoint(server->fullServerName());
    qDebug().noquote() << "quorlinctl server listening on" << server->fullServerName();
    return true;
}

void ControlServer::acceptClients()
{
    while (QLocalSocket* client = server->nextPendingConnection()) {
        if (waiting.size() >= kMaxClients)
            drop(waiting.first());
        waiting.append(client);
        // Qt stops reading once this much waits unread, so a client that
        // sends without end costs no more than one request's worth.
        client->setReadBufferSize(remote::kMaxRequestBytes + 1);
        connect(client, &QLocalSocket::readyRead, this, [this, client] { readRequest(client); });
        connect(client, &QLocalSocket::disconnected, this, [this, client] { drop(client); });
        QTimer::singleShot(kClientTimeoutMs, client, [this, client] { drop(client); });
        readRequest(client); // bytes may have come with the connection
    }
}

void ControlServer::readRequest(QLocalSocket* client)
{
    if (!waiting.contains(client))
        return; // answered already
    if (!client->canReadLine()) {
        if (client->bytesAvailable() > remote::kMaxRequestBytes)
            answer(
                client,
                {remote::BadRequest, {}, QStringLiteral("quorlinctl: the request is too long.\n")});
        return;
    }
    const QByteArray line = client->readLine(remote::kMaxRequestBytes + 1);
    Request request;
    QString error;
    if (line.size() > remote::kMaxRequestBytes || !line.endsWith('\n'))
        answer(client,
               {remote::BadRequest, {}, QStringLiteral("quorlinctl: the request is too long.\n")});
    else if (!remote::parseRequest(line, &request, &error))
        answer(client, {remote::BadRequest, {}, QStringLiteral("quorlinctl: %1.\n").arg(error)});
    else
        answer(client, dispatch(request));
}

Reply ControlServer::dispatch(const Request& request) const
{
    for (const CommandEntry& entry : kCommands) {
        if (request.command != QLatin1String(entry.command))
            continue;
        const QStringList known =
            QString::fromLatin1(entry.options).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& option : request.options) {
            if (!known.contains(option))
                return {remote::BadRequest,
                        {},
                        QStringLiteral("quorlinctl: %1 takes no option --%2.\n")
                            .arg(request.command, option)};
        }
        return entry.run(target, request);
    }
    return {remote::BadRequest,
            {},
            QStringLiteral("quorlinctl: the panel knows no command '%1'.\n").arg(request.command)};
}

void ControlServer::answer(QLocalSocket* client, const Reply& reply)
{
    waiting.removeOne(client);
    client->write(remote::serializeReply(reply));
    // Closes once the reply is written; disconnected() then drops it.
    client->disconnectFromServer();
}

void ControlServer::drop(QLocalSocket* client)
{
    waiting.removeOne(client);
    client->disconnect(this);
    client->abort();
    client->deleteLater();
}
