// quorlinctl: controls the running Quorlin panel from a command line, a hotkey
// or a script. It checks the command line, sends one request to the panel
// (remote/remote_protocol.h), prints the reply and exits with its status.

#include "remote/endpoint.h"
#include "remote/remote_protocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <cstdio>

namespace {

// The command families. A new family is one more row here, and one in the
// panel's dispatch table (app/control_server.cpp).
struct Command {
    const char* name;
    int minArguments;
    int maxArguments;    // -1: no limit
    const char* options; // long options it takes, space-separated, without dashes
    const char* synopsis;
    const char* summary;
};
const Command kCommands[] = {
    {"status", 0, 0, "", "status",
     "Whether a unit is connected; its model, firmware and driver options."},
    {"list", 0, 0, "json", "list [--json]",
     "Every control of the connected unit as NAME=VALUE, in panel order, then\n"
     "the driver options. --json: one JSON object with each control's range."},
    {"get", 1, remote::kMaxArguments, "", "get NAME...", "NAME=VALUE of each control named."},
    {"set", 1, remote::kMaxArguments, "", "set NAME=VALUE...",
     "Changes each control as the user does in the panel. All pairs are checked\n"
     "before any is applied: one unknown name or bad value changes nothing."},
    {"preset", 1, 3, "allow-phantom replace",
     "preset list | save NAME [--replace] | load NAME [--allow-phantom] |\n"
     "       delete NAME | export NAME FILE | import FILE [NAME] [--replace]",
     "The connected model's presets (its inputs only). load sets the inputs that\n"
     "differ as the user does; it refuses to switch 48V phantom power on unless\n"
     "--allow-phantom is given. save and import keep an existing preset unless\n"
     "--replace is given. import takes NAME from FILE's name when none is given."},
};

// FILE of "preset export NAME FILE" and "preset import FILE [NAME]" as an
// absolute path: the panel runs in a directory of its own.
void absolutePresetFile(remote::Request& request)
{
    if (request.command != QLatin1String("preset"))
        return;
    const QString subcommand = request.arguments.value(0);
    const int file = subcommand == QLatin1String("export")   ? 2
                     : subcommand == QLatin1String("import") ? 1
                                                             : -1;
    if (file > 0 && file < request.arguments.size())
        request.arguments[file] = QFileInfo(request.arguments.at(file)).absoluteFilePath();
}

constexpr int kConnectTimeoutMs = 3000;
// A sample rate change alone takes the panel a few hundred milliseconds.
constexpr int kReplyTimeoutMs = 15000;

void print(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

QString usage()
{
    QString text = QStringLiteral("Usage: quorlinctl COMMAND [ARGUMENT...]\n"
                                  "       quorlinctl --help | --version\n"
                                  "\n"
                                  "Controls the Quorlin panel running for this user.\n"
                                  "\n"
                                  "Commands:\n");
    for (const Command& command : kCommands) {
        text += QStringLiteral("  %1\n").arg(QLatin1String(command.synopsis));
        for (const QString& line : QString::fromLatin1(command.summary).split(QLatin1Char('\n')))
            text += QStringLiteral("      %1\n").arg(line);
    }
    text += QStringLiteral(
        "\n"
        "Names: mic1.gain, mic1.pad, mic1.48v, mic1.direct, mic2.gain, ... (mic.gain,\n"
        "mic.inst, ... on one-input models), speaker.volume, speaker.mute, speaker.dim,\n"
        "headphone.volume, headphone.mute, headphone.dim, phone-to-sp.volume,\n"
        "phone-to-hp.volume, buffer-size, usb-latency, sample-rate, safe-mode.\n"
        "'quorlinctl list' shows those of the connected unit.\n"
        "\n"
        "Values: as the panel shows them: a dial's number (dB), on or off for a switch\n"
        "(1/0 and true/false too), an option's value (256, 48000).\n"
        "\n"
        "Exit status: 0 done; 1 usage error, unknown name or bad value, bad preset\n"
        "name or file, or 48V refused (nothing changed); 2 no panel running; 3 no\n"
        "unit connected; 4 the unit refused.\n");
    return text;
}

int usageError(const QString& message)
{
    print(stderr, QStringLiteral("quorlinctl: %1\nTry 'quorlinctl --help'.\n").arg(message));
    return remote::BadRequest;
}

const Command* findCommand(const QString& name)
{
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

// Why no panel answered, in words that say what to do.
QString unreachable(const QLocalSocket& socket)
{
    switch (socket.error()) {
    case QLocalSocket::ServerNotFoundError:
    case QLocalSocket::ConnectionRefusedError:
        return QStringLiteral("quorlinctl: no Quorlin panel is running for this user. Start the "
                              "panel (quorlin-driver) and try again.\n");
    case QLocalSocket::SocketAccessError:
        return QStringLiteral("quorlinctl: permission denied on %1: the panel there belongs to "
                              "another user. Run quorlinctl as the user who runs the panel.\n")
            .arg(remote::endpointName());
    default:
        return QStringLiteral("quorlinctl: cannot reach the panel (%1).\n")
            .arg(socket.errorString());
    }
}

// Sends the request and waits for the reply; a panel that cannot be reached
// or does not answer gives status 2.
remote::Reply exchange(const remote::Request& request)
{
    QLocalSocket socket;
    socket.connectToServer(remote::endpointName());
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return {remote::NoPanel, {}, unreachable(socket)};
    socket.write(remote::serializeRequest(request));

    const QDeadlineTimer deadline(kReplyTimeoutMs);
    QByteArray line;
    while (!line.endsWith('\n') && line.size() <= remote::kMaxReplyBytes) {
        if (socket.bytesAvailable() == 0 &&
            (socket.state() != QLocalSocket::ConnectedState ||
             !socket.waitForReadyRead(int(deadline.remainingTime()))))
            break;
        line += socket.readLine(remote::kMaxReplyBytes + 1 - line.size());
    }
    remote::Reply reply;
    if (!remote::parseReply(line, &reply))
        return {remote::NoPanel,
                {},
                deadline.hasExpired()
                    ? QStringLiteral("quorlinctl: the panel did not answer in time.\n")
                    : QStringLiteral("quorlinctl: the panel closed the connection without an "
                                     "answer. Try again.\n")};
    return reply;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    remote::Request request;
    for (const QString& word : QCoreApplication::arguments().mid(1)) {
        if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            print(stdout, usage());
            return remote::Done;
        }
        if (word == QLatin1String("--version")) {
            print(stdout, QStringLiteral("quorlinctl " QUORLIN_VERSION "\n"));
            return remote::Done;
        }
        if (word.startsWith(QLatin1String("--")))
            request.options << word.mid(2);
        else if (request.command.isEmpty())
            request.command = word;
        else
            request.arguments << word;
    }

    if (request.command.isEmpty())
        return usageError(QStringLiteral("no command given."));
    const Command* command = findCommand(request.command);
    if (!command)
        return usageError(QStringLiteral("unknown command '%1'.").arg(request.command));
    const QStringList known =
        QString::fromLatin1(command->options).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& option : request.options) {
        if (!known.contains(option))
            return usageError(
                QStringLiteral("%1 takes no option --%2.").arg(request.command, option));
    }
    const int count = int(request.arguments.size());
    if (count < command->minArguments ||
        (command->maxArguments >= 0 && count > command->maxArguments))
        return usageError(
            QStringLiteral("usage: quorlinctl %1").arg(QLatin1String(command->synopsis)));

    absolutePresetFile(request);
    const remote::Reply reply = exchange(request);
    print(stdout, reply.output);
    print(stderr, reply.error);
    return reply.status;
}
