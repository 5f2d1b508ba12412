#pragma once

#include <QThread>

class NamedPipeServer;

// The listener for the ASIO driver: waits on the server end of
// "\\.\pipe\QuorlinASIOToPannel" for one client after another and emits
// progressUpdated(1) for each message whose open-window word is set. The
// application's only worker thread; it touches nothing but its own pipe.
//
// Destroying it ends the worker first: the stop request is set, the worker's
// wait for a client is woken and its wait for a client's message cancelled
// until run() has returned, and only then is the pipe closed. While the panel
// runs, a connected client may take as long as it likes to write.
class ThreadSettingsPip : public QThread {
    Q_OBJECT

public:
    // Creates the pipe on the calling (GUI) thread; start() begins listening.
    explicit ThreadSettingsPip(QObject* parent);
    ~ThreadSettingsPip() override;

signals:
    void progressUpdated(int value);

protected:
    void run() override;

private:
    NamedPipeServer* pipeServer;
};
