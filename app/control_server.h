#pragma once

#include "app/control_commands.h"

#include <QObject>
#include <QVector>

class QLocalServer;
class QLocalSocket;

// quorlinctl's way into the running panel: a QLocalServer at
// remote::endpointName() that only the current user can open (see
// remote/remote_protocol.h for the format). It runs on the GUI thread and
// never waits for a client: bytes are read as they arrive, a request is
// answered the moment its line is complete, and a change goes through the
// same call a user's change makes.
//
// Limits keep a misbehaving client from costing more than a little memory:
// a request longer than remote::kMaxRequestBytes gets an error reply and the
// connection is closed; a client that has not sent a whole request within
// kClientTimeoutMs is dropped; of more than kMaxClients waiting at once the
// one waiting longest is dropped, so that silent clients cannot keep a new
// one out.
class ControlServer : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxClients = 16;
    static constexpr int kClientTimeoutMs = 5000;

    explicit ControlServer(const ControlTarget& target, QObject* parent = nullptr);
    ~ControlServer() override;

    // Starts listening, in place of a socket a crashed panel left behind
    // (only one panel runs per user). Logs and returns false when it cannot.
    bool listen();

private:
    void acceptClients();
    void readRequest(QLocalSocket* client);
    void answer(QLocalSocket* client, const remote::Reply& reply);
    void drop(QLocalSocket* client);
    remote::Reply dispatch(const remote::Request& request) const;

    ControlTarget target;
    QLocalServer* server = nullptr;
    QVector<QLocalSocket*> waiting; // connected, no whole request yet, oldest first
};
