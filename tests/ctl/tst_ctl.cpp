// quorlinctl against the panel (this test run as the application, logging
// what it paints) and the virtual unit: each command and exit status, the
// unit's trace, the files, the screen; clients that misbehave; another user.

#include "app/application.h"
#include "controls/button.h"
#include "controls/knob.h"
#include "controls/knob_geometry.h"
#include "process_instance.h"
#include "remote/endpoint.h"
#include "remote/remote_protocol.h"
#include "test_common.h"

#include <QApplication>
#include <QLocalSocket>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kPanelWithPaintLog = "--run-the-application-logging-paints";

// Logs "painted <object name> <what it shows>" for each dial and switch painted.
class PaintLog : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        if (auto* knob = qobject_cast<Knob*>(object))
            qDebug().noquote() << "painted" << knob->objectName()
                               << KnobGeometry::valueText(knob->value, knob->displayOffset,
                                                          knob->unit);
        else if (auto* button = qobject_cast<Button*>(object))
            qDebug().noquote() << "painted" << button->objectName()
                               << (button->checked ? "on" : "off");
        return false;
    }
};

struct Result {
    int status = -1;
    QString output, error;
};

Result quorlinctl(const QStringList& arguments, const QStringList& as = {})
{
    QProcess process;
    if (as.isEmpty())
        process.start(QStringLiteral(QUORLINCTL_EXE), arguments);
    else
        process.start(QStringLiteral("setpriv"), as + QStringList{QUORLINCTL_EXE} + arguments);
    process.waitForFinished(kProcessWaitMs);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// One quorlinctl run: its command line, status and what it says (on standard
// output when it succeeds, else on standard error), the unit's trace line it
// causes (none: nothing reaches the unit), the file key it leaves
// ("file.ini:Group/Key=value") and what the panel then paints; first the
// unit's console gets `console`, and the panel line `awaited` is waited for.
struct CommandRow {
    const char *name, *arguments;
    int status;
    const char* said = "";
    const char *trace = nullptr, *stored = nullptr, *painted = nullptr;
    const char *console = nullptr, *awaited = nullptr;
};
const CommandRow kCommands[] = {
    {"status", "status", 0,
     "connected=yes\nmodel=VT2\nfirmware=V1.0.3-abc\nbuffer-size=192\nusb-latency=8\n"
     "sample-rate=44100\nsafe-mode=off\n"},
    {"list, in Tab order", "list", 0,
     "mic1.gain=0\nmic1.pad=off\nmic1.48v=off\nmic1.direct=off\nmic2.gain=0\nmic2.pad=off\n"
     "mic2.48v=off\nmic2.direct=off\nspeaker.volume=-80\nspeaker.mute=off\nspeaker.dim=off\n"
     "phone-to-sp.volume=0\nheadphone.volume=-80\nheadphone.mute=off\nheadphone.dim=off\n"
     "phone-to-hp.volume=0\nbuffer-size=192\nusb-latency=8\nsample-rate=44100\nsafe-mode=off\n"},
    {"list --json", "list --json", 0,
     R"({"name":"mic1.gain","ranges":[[0,0],[10,65]],"type":"dial","unit":"dB","value":0})"},
    {"get", "get headphone.volume mic1.48v", 0, "headphone.volume=-80\nmic1.48v=off\n"},
    {"set a level", "set headphone.volume=-20", 0, "", "WriteMixer (256,4)=0.1 (256,5)=0.1",
     "vt2.ini:Dial/HeadphoneValue=-20", "headphoneDial -20dB"},
    {"set a gain as shown", "set mic2.gain=10", 0, "", "SetMicVolume channel=2 value=2",
     "vt2.ini:Dial/Mic2Value=1", "mic2Dial 10dB"},
    {"set a switch", "set mic1.48v=true", 0, "", "SetMic48V channel=1 state=1",
     "vt2.ini:Button/Mic148VIsChecked=true", "mic1Phantom48VButton on"},
    {"one bad value", "set headphone.volume=-30 mic1.gain=5", 1,
     "bad value '5' for mic1.gain: give 0 or a number from 10 to 65. Nothing was changed.", nullptr,
     "vt2.ini:Dial/HeadphoneValue=-20"},
    {"one unknown name", "set headphone.volume=-30 mic9.gain=10", 1, "unknown name 'mic9.gain'",
     nullptr, "vt2.ini:Dial/HeadphoneValue=-20"},
    {"level out of range", "set headphone.volume=7", 1, "give a number from -80 to 6", nullptr,
     "vt2.ini:Dial/HeadphoneValue=-20"},
    {"not a switch state", "set headphone.mute=maybe", 1, "give on or off", nullptr,
     "vt2.ini:Button/HeadphoneMuteIsChecked=false"},
    {"not an option value", "set buffer-size=100", 1,
     "give one of 48, 64, 96, 128, 192, 256, 512, 1024"},
    {"get an unknown name", "get mic9.gain", 1, "unknown name 'mic9.gain'"},
    {"no command", "", 1, "no command given"},
    {"unknown command", "mute", 1, "unknown command 'mute'"},
    {"unknown option", "get --json mic1.gain", 1, "get takes no option --json"},
    {"set without pairs", "set", 1, "usage: quorlinctl set NAME=VALUE..."},
    {"not a pair", "set mic1.gain", 1, "'mic1.gain' is not NAME=VALUE"},
    {"help", "--help", 0, "4 the unit refused"},
    {"version", "--version", 0, "quorlinctl " QUORLIN_VERSION "\n"},
    {"preset save", "preset save Take", 0, "", nullptr,
     "presets/vt2/Take.ini:Button/Mic148VIsChecked=true"},
    {"preset save, name taken", "preset save TAKE", 1,
     "There is already a preset “Take”. Nothing was changed."},
    {"preset list", "preset list", 0, "Default\nTake\n"},
    {"48V off", "set mic1.48v=off", 0, "", "SetMic48V channel=1 state=0"},
    {"preset load, 48V refused", "preset load take", 1,
     "switches on 48V phantom power (MIC1 48V). Give --allow-phantom", nullptr,
     "vt2.ini:Button/Mic148VIsChecked=false"},
    {"preset load --allow-phantom", "preset load take --allow-phantom", 0, "",
     "SetMic48V channel=1 state=1", "vt2.ini:Button/Mic148VIsChecked=true",
     "mic1Phantom48VButton on"},
    {"preset export", "preset export Take $TMP/take.ini", 0},
    {"preset import", "preset import $TMP/take.ini Evening", 0, "", nullptr,
     "presets/vt2/Evening.ini:Dial/Mic2Value=1"},
    {"preset import --replace", "preset import --replace $TMP/take.ini evening", 0, "", nullptr,
     "presets/vt2/Evening.ini:Button/Mic148VIsChecked=true"},
    {"preset import, no file", "preset import $TMP/none.ini", 1,
     "none.ini: the file cannot be read"},
    {"preset delete", "preset delete EVENING", 0},
    {"preset load Default", "preset load Default", 0, "", "SetMicVolume channel=2 value=0",
     "vt2.ini:Dial/Mic2Value=0", "mic2Dial 0dB"},
    {"preset, wrong option", "preset save Take --allow-phantom", 1,
     "preset save takes no option --allow-phantom"},
    {"preset, unknown", "preset rename Take", 1,
     "usage: quorlinctl preset list|save|load|delete|export|import"},
    {"driver option, dialog open", "set sample-rate=48000 buffer-size=256", 0, "",
     "SetBufferSize 256", "setting.ini:Audio/SampleRate=48000", nullptr, "asio open-window",
     "Received signal from pipe thread to show settings window."},
    {"refused", "set headphone.volume=-10", 4, "Failed to set headphone volume.\n",
     "WriteMixer (256,4)=0.316228 (256,5)=0.316228 failed 31", "vt2.ini:Dial/HeadphoneValue=-10",
     "headphoneDial -10dB", "fail WriteMixer"},
    {"option refused", "set sample-rate=44100", 4, "设置音频采样率失败",
     "SetSampleRate 44100 failed 31", "setting.ini:Audio/SampleRate=48000", nullptr,
     "fail SetSampleRate"},
    {"status, no unit", "status", 0, "connected=no\n", nullptr, nullptr, nullptr, "unplug",
     "Cleared all widgets from base layout."},
    {"get, no unit", "get mic1.gain", 3, "no unit is connected"},
    {"set, no unit", "set mic1.gain=20", 3, "no unit is connected", nullptr,
     "vt2.ini:Dial/Mic1Value=0"},
    {"preset, no unit", "preset list", 3, "no unit is connected"},
};

} // namespace

class TestCtl : public QObject {
    Q_OBJECT

    TestEnvironment m_env;
    std::unique_ptr<ProcessInstance> m_unit;
    std::unique_ptr<ProcessInstance> m_panel;

    void startPanel()
    {
        if (m_panel)
            return;
        m_unit = std::make_unique<ProcessInstance>(QUORLIN_VIRTUAL_UNIT_EXE,
                                                   QStringList{"--model", "vt2", "--quiet"});
        m_panel = std::make_unique<ProcessInstance>(QCoreApplication::applicationFilePath(),
                                                    QStringList{kPanelWithPaintLog});
        detected();
    }
    void console(const char* command)
    {
        m_unit->write(QByteArray(command) + '\n');
        m_unit->waitForBytesWritten();
    }
    // Detection done and the start-up's OTG power cycle over.
    void detected(int line = 0, int traced = 0)
    {
        QVERIFY2(m_panel->waitForLine("Device found with PID: 2", line) >= 0,
                 qPrintable(m_panel->output()));
        QVERIFY(m_unit->waitForLine("InitAudio", traced) >= 0);
    }
    // What the unit traced from line `from` until its console's status answer.
    QStringList tracedSince(int from)
    {
        console("status");
        const int end = m_unit->waitFor(
            [](const QString& line) { return line.contains(QLatin1String("plugged")); }, from);
        return m_unit->output().split('\n').mid(from, end - from);
    }

private slots:
    // No panel, or a crashed one's socket: quorlinctl says so. Then junk, an
    // oversized and a cut request, a hundred silent clients: a change and a
    // re-plugged unit still go through at once.
    void clients()
    {
        for (bool dead : {false, true}) {
            QVERIFY(!dead || TestEnvironment::leaveDeadSocket(L"quorlinctl"));
            const Result result = quorlinctl({"get", "mic1.gain"});
            QCOMPARE(result.status, int(remote::NoPanel));
            QVERIFY2(result.error.contains("no Quorlin panel is running"),
                     qPrintable(result.error));
        }
        startPanel();
        const auto connected = [] {
            auto socket = std::make_unique<QLocalSocket>();
            socket->connectToServer(remote::endpointName());
            return socket->waitForConnected(kProcessWaitMs) ? std::move(socket) : nullptr;
        };
        const QByteArray bad[] = {"junk\n", QByteArray(remote::kMaxRequestBytes + 10, '{'),
                                  R"({"version":1,"command":"set","arguments":[)"};
        for (const QByteArray& request : bad) {
            auto socket = connected();
            QVERIFY(socket);
            socket->write(request);
            if (!request.endsWith('\n') && request.size() < remote::kMaxRequestBytes) {
                socket->disconnectFromServer(); // cut off: nothing to answer
                continue;
            }
            QByteArray reply;
            while (!reply.endsWith('\n') && socket->waitForReadyRead(kProcessWaitMs))
                reply += socket->readAll();
            remote::Reply answer;
            QVERIFY2(remote::parseReply(reply, &answer), reply.constData());
            QCOMPARE(answer.status, int(remote::BadRequest));
        }

        std::vector<std::unique_ptr<QLocalSocket>> silent;
        for (int i = 0; i < 100; ++i) {
            silent.push_back(connected());
            QVERIFY(silent.back());
        }
        const int from = m_unit->lineCount();
        QCOMPARE(quorlinctl({"set", "speaker.volume=-20"}).status, int(remote::Done));
        QVERIFY(tracedSince(from).contains("WriteMixer (256,0)=0.1 (256,1)=0.1"));
        const int line = m_panel->lineCount();
        console("unplug");
        QVERIFY(m_panel->waitForLine("Cleared all widgets from base layout.", line) >= 0);
        const int traced = m_unit->lineCount();
        console("plug");
        detected(line, traced);
        const int restored = m_unit->lineCount();
        QCOMPARE(quorlinctl({"set", "speaker.volume=-80"}).status, int(remote::Done));
        QVERIFY(tracedSince(restored).contains("WriteMixer (256,0)=0 (256,1)=0"));
    }

    void commands_data() { addRows(kCommands); }
    void commands()
    {
        const CommandRow& row = currentRow(kCommands);
        startPanel();
        if (row.console) {
            const int line = m_panel->lineCount();
            console(row.console);
            if (row.awaited)
                QVERIFY(m_panel->waitForLine(row.awaited, line) >= 0);
        }
        const int traced = m_unit->lineCount();
        const int painted = m_panel->lineCount();
        const QStringList arguments = QString(row.arguments)
                                          .replace("$TMP", qEnvironmentVariable("TMPDIR"))
                                          .split(' ', Qt::SkipEmptyParts);
        const Result result = quorlinctl(arguments);
        QVERIFY2(result.status == row.status, qPrintable(result.output + result.error));
        const QString& said = row.status == 0 ? result.output : result.error;
        QVERIFY2(said.contains(row.said) && (*row.said || said.isEmpty()), qPrintable(said));
        QVERIFY2(row.status == 0 || result.output.isEmpty(), qPrintable(result.output));

        const QStringList trace = tracedSince(traced);
        if (row.trace)
            QVERIFY2(trace.filter(row.trace).size() == 1, qPrintable(trace.join('\n')));
        else if (row.status != 0 || !arguments.value(0).startsWith("set"))
            QVERIFY2(trace.isEmpty(), qPrintable(trace.join('\n')));
        if (row.stored) {
            const QString stored(row.stored);
            const QSettings file(qEnvironmentVariable("XDG_DATA_HOME") + "/QuorlinDriver/" +
                                     stored.section(':', 0, 0),
                                 QSettings::IniFormat);
            const QString key = stored.section(':', 1).section('=', 0, 0);
            QCOMPARE(file.value(key).toString(), stored.section('=', 1));
        }
        // A sample rate change ends with the OTG chip's power cycle, later.
        if (row.status == 0 && QString(row.arguments).contains("sample-rate"))
            QVERIFY(m_unit->waitForLine("SetOtgOn", traced) >= 0);
        if (row.painted)
            QVERIFY(m_panel->waitForLine(QStringLiteral("painted ") + row.painted, painted) >= 0);
    }

    // The socket is the user's alone, even with the way to it open.
    void otherUser()
    {
        startPanel();
        const QString socket = remote::endpointName();
        struct stat info {};
        QCOMPARE(stat(QFile::encodeName(socket).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        QCOMPARE(info.st_uid, geteuid());
        if (geteuid() != 0)
            QSKIP("starting quorlinctl as another user needs root");
        const QString directories[] = {m_env.root(), m_env.runtimeDirectory(),
                                       QFileInfo(socket).path()};
        for (const QString& directory : directories)
            QVERIFY(QFile::setPermissions(directory, QFile::permissions(directory) |
                                                         QFile::ExeGroup | QFile::ExeOther));
        const Result result =
            quorlinctl({"status"}, {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"});
        for (const QString& directory : directories)
            QFile::setPermissions(directory,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(result.status, int(remote::NoPanel));
        QVERIFY2(result.error.contains("permission denied"), qPrintable(result.error));
    }
};

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], kPanelWithPaintLog) == 0) {
        qAddPreRoutine([] { qApp->installEventFilter(new PaintLog(qApp)); });
        return runApplication(argc, argv);
    }
    QApplication application(argc, argv);
    TestCtl test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_ctl.moc"
