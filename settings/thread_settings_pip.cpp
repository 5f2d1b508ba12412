#include "settings/thread_settings_pip.h"

#include "settings/asio_message.h"
#include "settings/named_pipe_server.h"

#include <QDeadlineTimer>
#include <QDebug>

namespace {

const QString kPanelPipeName = QStringLiteral("\\\\.\\pipe\\QuorlinASIOToPannel");

// The pause between two clients.
constexpr unsigned long kPauseMs = 100;

// How often the destructor interrupts the worker while waiting for it: a wake
// that comes while the worker is not waiting for a client (busy with one, or
// pausing) may find the pipe busy or go unread, and the next one is what ends
// the wait.
constexpr int kWakeRetryMs = 50;

} // namespace

ThreadSettingsPip::ThreadSettingsPip(QObject* parent)
    : QThread(parent)
    , pipeServer(new NamedPipeServer(kPanelPipeName))
{
    // The thread is started even without a pipe; its reads then fail.
    if (!pipeServer->create())
        qDebug() << "Failed to create named pipe in ThreadSettingsPip.";
    qDebug() << "ThreadSettingsPip initialized.";
}

ThreadSettingsPip::~ThreadSettingsPip()
{
    requestInterruption();
    while (isRunning()) {
        pipeServer->interrupt();
        wait(QDeadlineTimer(kWakeRetryMs));
    }
    wait(); // run() has returned (at once when it never started)
    pipeServer->close();
    delete pipeServer;
}

void ThreadSettingsPip::run()
{
    while (!isInterruptionRequested()) {
        qDebug() << "ThreadSettingsPip is running waiting Asio Info...";
        NamedPipeServer::Message buffer{}; // bytes not sent read as zero
        const bool received = pipeServer->readMessage(buffer);
        // The wake that ends the wait at shutdown is no message to act on.
        if (isInterruptionRequested())
            break;
        if (received) {
            const AsioMessage message = decodeAsioMessage(buffer.data(), buffer.size());
            const auto& words = message.words;
            qDebug() << "Received data from pipe:" << words[0] << words[1] << words[2] << words[3]
                     << words[4];
            if (message.opensWindow()) {
                qDebug() << "Open Window Signal from ASIO.";
                emit progressUpdated(1);
            }
        } else {
            qDebug() << "No data received from pipe.";
        }
        msleep(kPauseMs);
    }
}
