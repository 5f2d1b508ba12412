#include "presets/preset_store.h"

#include "controls/button.h"
#include "controls/knob.h"
#include "panels/stored_value.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>

namespace Presets {

namespace {

const QString kModelKey = QStringLiteral("Preset/Model");
const QString kVersionKey = QStringLiteral("Preset/Version");
const QString kExtension = QStringLiteral(".ini");
const QString kPhantomSuffix = QStringLiteral(".48v");
// Shown of a value or a line at most; the rest is elided.
constexpr int kShownLength = 40;

QString shorten(const QString& text)
{
    return text.size() <= kShownLength ? text : text.left(kShownLength) + QChar(0x2026);
}

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// One "key=value" line of a file, by its full key ("Dial/Mic1Value").
struct Entry {
    QString value;
    int line = 0;
};

} // namespace

PresetStore::PresetStore(ModelPanel& modelPanel)
    : panel(&modelPanel)
    , model(modelPanel.model())
    , dir(directoryFor(modelPanel.model()))
{
    for (const PanelControl& control : modelPanel.controls())
        (control.section == ControlSection::Input ? inputs : outputs).append(control);
}

QString PresetStore::directoryFor(const QString& model)
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/presets/") + model;
}

QStringList PresetStore::names() const
{
    QStringList stored;
    const QStringList files =
        QDir(dir).entryList({QLatin1Char('*') + kExtension}, QDir::Files | QDir::Hidden);
    for (const QString& file : files) {
        // Two files whose names differ only in case (put there by hand on a
        // system that tells them apart) are one preset, the first in order.
        const QString name = file.chopped(kExtension.size());
        const auto same = [&name](const QString& other) {
            return NameRules::same(name, other);
        };
        if (NameRules::refusal(name).isEmpty() && std::none_of(stored.begin(), stored.end(), same))
            stored << name;
    }
    std::sort(stored.begin(), stored.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return QStringList{kDefaultName} + stored;
}

QString PresetStore::storedName(const QString& name) const
{
    const QStringList all = names();
    for (int i = 1; i < all.size(); ++i)
        if (NameRules::same(all.at(i), name))
            return all.at(i);
    return {};
}

QString PresetStore::filePath(const QString& name) const
{
    const QString stored = storedName(name);
    return dir + QLatin1Char('/') + (stored.isEmpty() ? NameRules::normalized(name) : stored) +
           kExtension;
}

Values PresetStore::current() const
{
    Values values;
    for (const PanelControl& control : inputs) {
        if (control.knob)
            values.insert(control.key, control.knob->value);
        else
            values.insert(control.key, control.button->checked);
    }
    return values;
}

Values PresetStore::defaults() const
{
    Values values;
    for (const PanelControl& control : inputs)
        values.insert(control.key, control.knob ? QVariant(control.fallback.toInt())
                                                : QVariant(control.fallback.toBool()));
    return values;
}

Outcome PresetStore::read(const QString& name, Values& values) const
{
    if (NameRules::isDefault(name)) {
        values = defaults();
        return {};
    }
    if (const Message refusal = NameRules::refusal(name); !refusal.isEmpty())
        return fault(Fault::BadName, refusal);
    if (storedName(name).isEmpty())
        return fault(
            Fault::NotFound,
            text(QT_TR_NOOP("There is no preset “%1” for the %2.")).arg(name, model.toUpper()));
    return readFile(filePath(name), values);
}

Outcome PresetStore::readFile(const QString& path, Values& values) const
{
    if (!panel)
        return gone();
    QFile file(path);
    const Message prefix{shownPath(path) + QStringLiteral(": "),
                         shownPath(path) + QStringLiteral(": ")};
    if (QFileInfo(path).isDir())
        return fault(Fault::BadFile, prefix + text(QT_TR_NOOP("this is a folder.")));
    if (!file.open(QIODevice::ReadOnly))
        return fault(Fault::BadFile,
                     prefix +
                         text(QT_TR_NOOP("the file cannot be read (%1).")).arg(file.errorString()));
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize)
        return fault(Fault::BadFile,
                     prefix + text(QT_TR_NOOP("the file is larger than a preset can be (%1 bytes "
                                              "at most)."))
                                  .arg(kMaxFileSize));
    return parse(path, bytes, values);
}

Outcome PresetStore::parse(const QString& path, const QByteArray& bytes, Values& values) const
{
    const QString file = shownPath(path) + QStringLiteral(": ");
    const auto bad = [&](const Message& why) {
        return fault(Fault::BadFile, Message{file, file} + why);
    };
    if (bytes.trimmed().isEmpty())
        return bad(text(QT_TR_NOOP("the file is empty.")));
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString content = decoder(bytes);
    if (decoder.hasError() || bytes.contains('\0'))
        return bad(text(QT_TR_NOOP("the file is not text.")));
    if (!bytes.endsWith('\n'))
        return bad(text(QT_TR_NOOP("the last line is cut short.")));
    if (content.startsWith(QChar(0xFEFF)))
        content.remove(0, 1);

    // Every line first: sections, entries and nothing else, each key once.
    QHash<QString, Entry> entries;
    QVector<QString> order;
    QString section;
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        const int number = i + 1;
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            if (section == QLatin1String("General"))
                section.clear();
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        const QString name = line.left(equals).trimmed();
        if (equals < 0 || name.isEmpty())
            return bad(text(QT_TR_NOOP("line %1 is neither a [section] nor an entry: “%2”."))
                           .arg(number)
                           .arg(shorten(line)));
        const QString key = section.isEmpty() ? name : section + QLatin1Char('/') + name;
        if (entries.contains(key))
            return bad(
                text(QT_TR_NOOP("entry %1 appears twice, on lines %2 and %3."))
                    .arg(key, QString::number(entries.value(key).line), QString::number(number)));
        entries.insert(key, {line.mid(equals + 1).trimmed(), number});
        order.append(key);
    }

    // What it is: a preset of this format, for this model.
    for (const QString& key : {kVersionKey, kModelKey})
        if (!entries.contains(key))
            return bad(text(QT_TR_NOOP("entry %1 is missing: this is not a preset.")).arg(key));
    const Entry version = entries.value(kVersionKey);
    if (version.value != QString::number(kFormatVersion))
        return bad(
            text(QT_TR_NOOP("entry %1 (line %2): format “%3” is not one this program reads (%4)."))
                .arg(kVersionKey, QString::number(version.line), shorten(version.value),
                     QString::number(kFormatVersion)));
    const Entry owner = entries.value(kModelKey);
    if (owner.value != model)
        return bad(text(QT_TR_NOOP("entry %1 (line %2): the preset is for “%3”, not for the %4."))
                       .arg(kModelKey)
                       .arg(owner.line)
                       .arg(shorten(owner.value), model.toUpper()));

    // Every entry, in file order: an input of this model with a valid value.
    Values read;
    for (const QString& key : order) {
        if (key == kModelKey || key == kVersionKey)
            continue;
        const Entry entry = entries.value(key);
        const auto isKey = [&key](const PanelControl& control) {
            return control.key == key;
        };
        const auto input = std::find_if(inputs.begin(), inputs.end(), isKey);
        if (input == inputs.end()) {
            if (std::any_of(outputs.begin(), outputs.end(), isKey))
                return bad(
                    text(QT_TR_NOOP("entry %1 (line %2) is an output control; a preset holds only "
                                    "the inputs."))
                        .arg(key, QString::number(entry.line)));
            return bad(text(QT_TR_NOOP("entry %1 (line %2) is not a control of the %3."))
                           .arg(key, QString::number(entry.line), model.toUpper()));
        }
        if (input->knob) {
            const std::optional<int> value = PanelParts::parseStoredInt(entry.value);
            if (!value)
                return bad(text(QT_TR_NOOP("entry %1 (line %2): “%3” is not a whole number."))
                               .arg(key)
                               .arg(entry.line)
                               .arg(shorten(entry.value)));
            if (*value < input->knob->minimum || *value > input->knob->maximum)
                return bad(
                    text(
                        QT_TR_NOOP("entry %1 (line %2): %3 is outside the dial's range, %4 to %5."))
                        .arg(key)
                        .arg(entry.line)
                        .arg(*value)
                        .arg(input->knob->minimum)
                        .arg(input->knob->maximum));
            read.insert(key, *value);
        } else {
            const std::optional<bool> value = PanelParts::parseStoredBool(entry.value);
            if (!value)
                return bad(text(QT_TR_NOOP("entry %1 (line %2): “%3” is not true or false."))
                               .arg(key)
                               .arg(entry.line)
                               .arg(shorten(entry.value)));
            read.insert(key, *value);
        }
    }
    for (const PanelControl& control : inputs)
        if (!read.contains(control.key))
            return bad(text(QT_TR_NOOP("entry %1 is missing.")).arg(control.key));
    values = read;
    return {};
}

QByteArray PresetStore::render(const Values& values) const
{
    QByteArray text = "[Preset]\nModel=" + model.toUtf8() +
                      "\nVersion=" + QByteArray::number(kFormatVersion) + '\n';
    // Grouped by section as QSettings groups them, in the panel's order.
    QStringList sections;
    for (const PanelControl& control : inputs)
        if (!sections.contains(control.key.section(QLatin1Char('/'), 0, 0)))
            sections << control.key.section(QLatin1Char('/'), 0, 0);
    for (const QString& section : sections) {
        text += "\n[" + section.toUtf8() + "]\n";
        for (const PanelControl& control : inputs) {
            if (control.key.section(QLatin1Char('/'), 0, 0) != section)
                continue;
            const QVariant value = values.value(control.key);
            text += control.key.section(QLatin1Char('/'), 1).toUtf8() + '=' +
                    (control.knob ? QByteArray::number(value.toInt())
                                  : QByteArray(value.toBool() ? "true" : "false")) +
                    '\n';
        }
    }
    return text;
}

Outcome PresetStore::write(const QString& path, const Values& values) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The new text goes to a file beside the old one, which is replaced only
    // once the new one is written whole. The text is flushed and checked
    // before the rename: QSaveFile::commit() alone (Qt 6.4) renames a file
    // whose last buffered write failed, as on a full disk.
    QSaveFile file(path);
    const QByteArray bytes = render(values);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.commit())
        return {};
    const QString why = file.errorString();
    file.cancelWriting(); // the new file goes, the old one stays
    return fault(Fault::WriteFailed,
                 text(QT_TR_NOOP("%1 could not be written: %2")).arg(shownPath(path), why));
}

Outcome PresetStore::save(const QString& name, bool replace) const
{
    if (NameRules::isDefault(name))
        return fault(Fault::BuiltIn, NameRules::refusal(name));
    if (const Message refusal = NameRules::refusal(name); !refusal.isEmpty())
        return fault(Fault::BadName, refusal);
    if (!replace && !storedName(name).isEmpty())
        return fault(Fault::Exists,
                     text(QT_TR_NOOP("There is already a preset “%1”.")).arg(storedName(name)));
    if (!panel)
        return gone();
    return write(filePath(name), current());
}

Outcome PresetStore::remove(const QString& name) const
{
    if (NameRules::isDefault(name))
        return fault(Fault::BuiltIn,
                     text(QT_TR_NOOP("“%1” is the built-in preset and cannot be deleted."))
                         .arg(kDefaultName));
    if (storedName(name).isEmpty())
        return fault(
            Fault::NotFound,
            text(QT_TR_NOOP("There is no preset “%1” for the %2.")).arg(name, model.toUpper()));
    QFile file(filePath(name));
    if (!file.remove())
        return fault(Fault::WriteFailed, text(QT_TR_NOOP("%1 could not be deleted: %2"))
                                             .arg(shownPath(file.fileName()), file.errorString()));
    return {};
}

Outcome PresetStore::exportTo(const QString& name, const QString& path) const
{
    Values values;
    const Outcome checked = read(name, values);
    return checked.ok() ? write(path, values) : checked;
}

Outcome PresetStore::importFrom(const QString& path, const QString& name, bool replace) const
{
    const QString target = name.isEmpty() ? QFileInfo(path).completeBaseName() : name;
    if (NameRules::isDefault(target))
        return fault(Fault::BuiltIn, NameRules::refusal(target));
    if (const Message refusal = NameRules::refusal(target); !refusal.isEmpty())
        return fault(Fault::BadName, refusal);
    Values values;
    const Outcome checked = readFile(path, values);
    if (!checked.ok())
        return checked;
    if (!replace && !storedName(target).isEmpty())
        return fault(Fault::Exists,
                     text(QT_TR_NOOP("There is already a preset “%1”.")).arg(storedName(target)));
    return write(filePath(target), values);
}

QVector<Change> PresetStore::changes(const Values& values) const
{
    QVector<Change> down, switches, up;
    for (const PanelControl& control : inputs) {
        const QVariant value = values.value(control.key);
        if (control.knob && control.knob->value != value.toInt())
            (value.toInt() < control.knob->value ? down : up).append({control, value});
        else if (control.button && control.button->checked != value.toBool())
            switches.append({control, value});
    }
    return down + switches + up;
}

QStringList PresetStore::phantomSwitchedOn(const QVector<Change>& changes)
{
    QStringList switches;
    for (const Change& change : changes)
        if (change.control.button && change.control.name.endsWith(kPhantomSuffix) &&
            change.value.toBool())
            switches << (change.control.button->accessibleName().isEmpty()
                             ? change.control.name
                             : change.control.button->accessibleName());
    return switches;
}

Outcome PresetStore::gone() const
{
    return fault(Fault::NoPanel,
                 text(QT_TR_NOOP("The unit is no longer connected; nothing was changed.")));
}

Outcome PresetStore::recall(const QString& name, const PhantomQuestion& askPhantom) const
{
    Values values;
    const Outcome checked = read(name, values);
    if (!checked.ok())
        return checked;
    if (!panel)
        return gone();
    const QVector<Change> plan = changes(values);
    const QStringList phantom = phantomSwitchedOn(plan);
    if (!phantom.isEmpty() && !askPhantom(phantom))
        return fault(
            Fault::PhantomDeclined,
            text(QT_TR_NOOP("Preset “%1” was not recalled: it switches on 48V phantom power (%2)."))
                .arg(name, phantom.join(QStringLiteral(", "))));
    // The question may have waited while the unit went away.
    if (!panel)
        return gone();
    for (const Change& change : plan) {
        if (change.control.knob)
            change.control.knob->setValue(change.value.toInt());
        else
            change.control.button->setState(change.value.toBool());
    }
    return {};
}

} // namespace Presets
