// Presets on a real VT2 panel and the virtual unit: what a recall sends, the
// 48 V question, damaged files, names, round trips, a save cut short.

#include "controls/button.h"
#include "controls/knob.h"
#include "panels/vt2.h"
#include "presets/preset_store.h"
#include "test_common.h"

#include <csignal>
#include <sys/resource.h>

using namespace Presets;
using virtualunit::VirtualUnit;

namespace {

// "key=value" words on the VT2's inputs ("Mic1Value=3"): a start, a preset
// recalled from there, what the unit then receives in order, the switches the
// 48 V question names and its answer.
const struct {
    const char *name, *start, *preset, *sent, *asked;
    bool yes;
} kRecalls[] = {
    {"gain and pad", "", "Mic1Value=20 Mic220dBIsChecked=true",
     "SetMic20dB channel=2 state=1|SetMicVolume channel=1 value=40", "", false},
    {"same as now", "Mic2Value=30", "Mic2Value=30", "", "", false},
    {"dials down, switches, dials up", "Mic1Value=30 OtgToHpValue=-10",
     "Mic1Value=10 Mic2Value=20 MonitorMic1IsChecked=true OtgToHpValue=-20",
     "SetMicVolume channel=1 value=20|WriteMixer (68,2)=0.1 (69,3)=0.1|"
     "WriteMixer (64,0)=1 (65,0)=1 (68,0)=1 (69,0)=1|SetMicVolume channel=2 value=40",
     "", false},
    {"48V on, yes", "", "Mic248VIsChecked=true Mic2Value=5",
     "SetMic48V channel=2 state=1|SetMicVolume channel=2 value=10", "MIC2 48V", true},
    {"48V on, no", "Mic1Value=3", "Mic148VIsChecked=true Mic248VIsChecked=true", "",
     "MIC1 48V|MIC2 48V", false},
    {"48V off never asks", "Mic148VIsChecked=true", "", "SetMic48V channel=1 state=0", "", false},
};

// A good preset damaged ("+X" appends line X, "-K" drops key K's line, "K=V"
// sets it, "<N" cuts N bytes, "=X" replaces the text), and the fault's words.
const struct {
    const char *name, *edit, *fault;
} kDamaged[] = {
    {"cut in a line", "<3", "the last line is cut short"},
    {"cut at a line", "-OtgToSPValue", "entry Dial/OtgToSPValue is missing"},
    {"another model", "Model=vt1", "entry Preset/Model (line 2): the preset is for “vt1”"},
    {"newer format", "Version=2", "format “2” is not one this program reads"},
    {"no format", "-Version", "entry Preset/Version is missing"},
    {"junk dial", "Mic1Value=loud", "entry Dial/Mic1Value (line 14): “loud” is not a whole"},
    {"fraction", "Mic1Value=20.5", "“20.5” is not a whole number"},
    {"beyond int", "Mic1Value=99999999999", "“99999999999” is not a whole number"},
    {"above range", "Mic2Value=57", "entry Dial/Mic2Value (line 15): 57 is outside the dial's"},
    {"below range", "OtgToHpValue=-81", "-81 is outside the dial's range, -80 to 6"},
    {"junk switch", "Mic148VIsChecked=yes", "entry Button/Mic148VIsChecked (line 7): “yes”"},
    {"unknown key", "+Extra%2=1", "entry Dial/Extra%2 (line 18) is not a control of the VT2"},
    {"output key", "+SpeakerValue=0", "entry Dial/SpeakerValue (line 18) is an output control"},
    {"twice", "+Mic1Value=1", "entry Dial/Mic1Value appears twice, on lines 14 and 18"},
    {"junk line", "+loud please", "line 18 is neither a [section] nor an entry"},
    {"empty", "=", "the file is empty"},
    {"binary", "=\x01\xff\xfe\n", "the file is not text"},
    {"huge", "+;", "larger than a preset can be (65536 bytes at most)"},
};

// Names: accepted (empty fault) or refused with these words.
const struct {
    const char *name, *text, *fault;
} kNames[] = {
    {"plain", "Evening", ""},
    {"any language", "Ünïcödé 晚上 録音 🎸", ""},
    {"fifty characters", "12345678901234567890123456789012345678901234567890", ""},
    {"dots inside", "v1.2 take", ""},
    {"empty", "  ", "needs a name"},
    {"slash", "../Evening", "cannot hold any of these characters"},
    {"backslash", "a\\b", "cannot hold any of these characters"},
    {"colon", "C:x", "cannot hold any of these characters"},
    {"tab", "a\tb", "control characters"},
    {"line break", "a\nb", "control characters"},
    {"fifty-one", "123456789012345678901234567890123456789012345678901", "at most 50"},
    {"trailing dot", "take.", "end with a dot"},
    {"trailing space", "take ", "start or end with a space"},
    {"device", "con", "names a device on Windows"},
    {"device and extension", "NUL.txt", "names a device on Windows"},
    {"numbered device", "Lpt9", "names a device on Windows"},
    {"superscript device", "COM\u00b9", "names a device on Windows"},
    {"built-in", "DEFAULT", "is the built-in preset"},
};

} // namespace

class TestPresets : public QObject {
    Q_OBJECT

    TestEnvironment m_env;
    std::unique_ptr<VirtualUnit> m_unit;
    std::unique_ptr<vt2> m_panel;

    PanelControl control(const QString& shortKey) const
    {
        for (const PanelControl& c : m_panel->controls())
            if (c.key.endsWith('/' + shortKey))
                return c;
        return {};
    }
    // Sets controls as the user does, from "key=value" words.
    void set(const QString& words)
    {
        for (const QString& word : words.split(' ', Qt::SkipEmptyParts)) {
            const PanelControl c = control(word.section('=', 0, 0));
            if (c.knob)
                c.knob->setValue(word.section('=', 1).toInt());
            else
                c.button->setState(word.section('=', 1) == "true");
        }
    }
    // A good VT2 preset at rest with `words` changed, as the store writes it.
    QByteArray presetText(const QString& words) const
    {
        Values values = PresetStore(*m_panel).defaults();
        for (const QString& word : words.split(' ', Qt::SkipEmptyParts)) {
            const QString key = control(word.section('=', 0, 0)).key;
            const QString value = word.section('=', 1);
            values[key] =
                key.startsWith("Dial/") ? QVariant(value.toInt()) : QVariant(value == "true");
        }
        QByteArray text = "[Preset]\nModel=vt2\nVersion=1\n\n[Button]\n";
        for (const QString section : {"Button", "Dial"}) {
            if (section == "Dial")
                text += "\n[Dial]\n";
            for (const PanelControl& c : m_panel->controls())
                if (c.section == ControlSection::Input && c.key.startsWith(section + '/'))
                    text += c.key.section('/', 1).toUtf8() + '=' +
                            values[c.key].toString().toUtf8() + '\n';
        }
        return text;
    }
    // Every input and output as "key=value".
    QStringList shown() const
    {
        QStringList values;
        for (const PanelControl& c : m_panel->controls())
            values << c.key + '=' + QString::number(c.knob ? c.knob->value : c.button->checked);
        return values;
    }
    QStringList sent() { return sentTo(*m_unit); }

private slots:
    void init()
    {
        m_panel.reset();
        m_unit.reset();
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
        QVERIFY(m_unit = stillUnit());
        m_panel = std::make_unique<vt2>();
        // The outputs somewhere a recall must leave them.
        set("SpeakerValue=-10 HeadphoneMuteIsChecked=true HeadphoneValue=-30");
    }

    // A recall sends the inputs that differ as the user's own changes (saved in
    // vt2.ini too), never an output. 48 V on asks first; "no" changes nothing.
    void recallSendsOnlyWhatDiffers_data() { addRows(kRecalls); }
    void recallSendsOnlyWhatDiffers()
    {
        const auto& row = currentRow(kRecalls);
        set(row.start);
        const PresetStore store(*m_panel);
        QVERIFY(writeFile(store.directory() + "/Take.ini", presetText(row.preset)));
        const QStringList before = shown();
        sent();
        QStringList asked;
        const Outcome outcome = store.recall("take", [&](const QStringList& switches) {
            asked = switches;
            return row.yes;
        });
        const QStringList expected = QString(row.sent).split('|', Qt::SkipEmptyParts);
        QCOMPARE(sent(), expected);
        QCOMPARE(asked, QString(row.asked).split('|', Qt::SkipEmptyParts));
        QCOMPARE(outcome.fault, *row.asked && !row.yes ? Fault::PhantomDeclined : Fault::None);
        const QStringList after = shown();
        QSettings ini(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                          "/vt2.ini",
                      QSettings::IniFormat);
        Values recalled;
        QVERIFY(store.read("TAKE", recalled).ok());
        for (int i = 0; i < after.size(); ++i) {
            const PanelControl c = m_panel->controls().at(i);
            const bool input = c.section == ControlSection::Input;
            const QString wanted = expected.isEmpty() || !input
                                       ? before.at(i)
                                       : c.key + '=' + QString::number(recalled[c.key].toInt());
            QCOMPARE(after.at(i), wanted);
            QCOMPARE(ini.value(c.key).toString(),
                     c.knob ? wanted.section('=', 1)
                            : QString(wanted.endsWith("=1") ? "true" : "false"));
        }
    }

    // A damaged preset is refused whole by recall and import, file and entry
    // named: the unit, the panel and the store keep what they had.
    void damagedPresetChangesNothing_data() { addRows(kDamaged); }
    void damagedPresetChangesNothing()
    {
        const auto& row = currentRow(kDamaged);
        const QString edit = QString::fromLatin1(row.edit);
        QByteArray text = presetText("Mic1Value=12");
        if (edit.startsWith('<'))
            text.chop(edit.mid(1).toInt());
        else if (edit.startsWith('='))
            text = row.edit + 1;
        else if (edit == "+;")
            text += QByteArray(70000, ';') + '\n';
        else if (edit.startsWith('+'))
            text += edit.mid(1).toUtf8() + '\n';
        else {
            const QString key = edit.section('=', 0, 0).remove(0, edit.startsWith('-'));
            QStringList lines = QString(text).split('\n');
            for (QString& line : lines)
                if (line.startsWith(key + '='))
                    line = edit.startsWith('-') ? QString() : edit;
            text = lines.join('\n').toUtf8();
        }
        const PresetStore store(*m_panel);
        const QString path = store.directory() + "/Broken.ini";
        const QString import = m_env.root() + "/import.ini";
        QVERIFY(writeFile(path, text) && writeFile(import, text));
        const QStringList before = shown();
        sent();
        const Outcome recalled = store.recall("broken", [](const QStringList&) { return true; });
        const Outcome imported = store.importFrom(import, "Imported", false);
        for (const auto& [outcome, file] :
             {std::pair{recalled, path}, std::pair{imported, import}}) {
            QCOMPARE(outcome.fault, Fault::BadFile);
            QVERIFY2(outcome.message.english.startsWith(file + ": "),
                     qPrintable(outcome.message.english));
            QVERIFY2(outcome.message.english.contains(row.fault),
                     qPrintable(outcome.message.english));
        }
        QCOMPARE(sent(), QStringList());
        QCOMPARE(shown(), before);
        QCOMPARE(store.names(), QStringList({"Default", "Broken"}));
    }

    // The name rules, the same for saving and importing.
    void names_data() { addRows(kNames); }
    void names()
    {
        const auto& row = currentRow(kNames);
        const QString name = QString::fromUtf8(row.text);
        QVERIFY2(NameRules::refusal(name).english.contains(row.fault),
                 qPrintable(NameRules::refusal(name).english));
        const PresetStore store(*m_panel);
        const Outcome saved = store.save(name, false);
        const Outcome imported = store.importFrom(store.filePath(name), name, false);
        QCOMPARE(saved.ok(), !*row.fault);
        QCOMPARE(imported.fault, !*row.fault ? Fault::Exists : saved.fault);
        QCOMPARE(store.names().size(), *row.fault ? 1 : 2);
        QVERIFY(!QFile::exists(store.directory() + "/../Evening.ini"));
    }

    // Save, replace (keeping the first spelling), export, import, delete; the
    // built-in one refused; names differing only in case are one preset.
    void storeRoundTrip()
    {
        const PresetStore store(*m_panel);
        set("Mic1Value=7");
        QVERIFY(store.save("Evening 晚上", false).ok());
        set("Mic1Value=9");
        QCOMPARE(store.save("EVENING 晚上", false).fault, Fault::Exists);
        QVERIFY(store.save("EVENING 晚上", true).ok());
        QCOMPARE(store.names(), QStringList({"Default", "Evening 晚上"}));
        Values values;
        QVERIFY(store.read("evening 晚上", values).ok());
        QCOMPARE(values.value("Dial/Mic1Value"), QVariant(9));
        QCOMPARE(store.save("default", true).fault, Fault::BuiltIn);
        QCOMPARE(store.remove("Default").fault, Fault::BuiltIn);

        const QString exported = m_env.root() + "/out/evening.ini";
        QVERIFY(store.exportTo("evening 晚上", exported).ok());
        QCOMPARE(readFile(exported), readFile(store.filePath("Evening 晚上")));
        QCOMPARE(readFile(exported), presetText("Mic1Value=9"));
        QVERIFY(store.exportTo("Default", m_env.root() + "/out/default.ini").ok());
        QCOMPARE(readFile(m_env.root() + "/out/default.ini"), presetText(""));
        QVERIFY(store.importFrom(exported, QString(), false).ok());
        QCOMPARE(store.importFrom(exported, "Evening 晚上", false).fault, Fault::Exists);
        QCOMPARE(store.names(), QStringList({"Default", "evening", "Evening 晚上"}));

        QVERIFY(store.remove("EVENING").ok());
        QCOMPARE(store.remove("evening").fault, Fault::NotFound);
        QCOMPARE(store.recall("evening", {}).fault, Fault::NotFound);
        QCOMPARE(store.names(), QStringList({"Default", "Evening 晚上"}));
        sent();
        QVERIFY(store.recall("Default", {}).ok());
        QCOMPARE(sent(), QStringList{"SetMicVolume channel=1 value=0"});
    }

    // A save that cannot finish (no file may grow past 16 bytes) leaves the old
    // preset whole and no stray file.
    void interruptedSaveKeepsTheOldFile()
    {
        const PresetStore store(*m_panel);
        set("Mic2Value=11");
        QVERIFY(store.save("Keep", false).ok());
        const QByteArray old = readFile(store.filePath("Keep"));
        set("Mic2Value=22");
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit full{16, limit.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &full);
        const Outcome outcome = store.save("Keep", true);
        setrlimit(RLIMIT_FSIZE, &limit);
        QCOMPARE(outcome.fault, Fault::WriteFailed);
        QVERIFY2(outcome.message.english.startsWith(store.filePath("Keep")),
                 qPrintable(outcome.message.english));
        QCOMPARE(readFile(store.filePath("Keep")), old);
        QCOMPARE(QDir(store.directory()).entryList(QDir::Files | QDir::Hidden), {"Keep.ini"});
    }
};

QTEST_MAIN(TestPresets)
#include "tst_presets.moc"
