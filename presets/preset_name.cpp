#include "presets/preset_name.h"

#include <QStringList>

namespace Presets {

namespace {

// Characters Windows refuses in a file name, the two path separators among them.
const QString kForbiddenCharacters = QStringLiteral("/\\:*?\"<>|");

// A character that is no printable text: controls, line and paragraph
// separators, and a half of a surrogate pair without its other half.
bool isControl(const QString& name, int i)
{
    const QChar c = name.at(i);
    if (c.isHighSurrogate())
        return i + 1 >= name.size() || !name.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !name.at(i - 1).isHighSurrogate();
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 name devices on Windows,
// whatever their case and whatever follows a dot ("con.txt", "nul .ini").
// The superscript digits ¹ ² ³ count as digits there.
bool isReservedOnWindows(const QString& name)
{
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                        QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (devices.contains(stem))
        return true;
    if (stem.size() != 4 ||
        !(stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))))
        return false;
    const QChar digit = stem.at(3);
    return (digit >= QLatin1Char('1') && digit <= QLatin1Char('9')) || digit == QChar(0x00B9) ||
           digit == QChar(0x00B2) || digit == QChar(0x00B3);
}

} // namespace

QString NameRules::normalized(const QString& name)
{
    return name.normalized(QString::NormalizationForm_C);
}

bool NameRules::same(const QString& a, const QString& b)
{
    return normalized(a).toCaseFolded() == normalized(b).toCaseFolded();
}

QString NameRules::shownName(const QString& name)
{
    return isDefault(name) ? tr("Default", "the built-in preset") : name;
}

Message NameRules::refusal(const QString& name)
{
    const QString typed = normalized(name);
    if (typed.trimmed().isEmpty())
        return text(QT_TR_NOOP("A preset needs a name."));
    for (int i = 0; i < typed.size(); ++i) {
        if (isControl(typed, i))
            return text(QT_TR_NOOP("A preset name cannot hold control characters or line breaks."));
        if (kForbiddenCharacters.contains(typed.at(i)))
            return text(QT_TR_NOOP("A preset name cannot hold any of these characters: %1"))
                .arg(QStringLiteral("/ \\ : * ? \" < > |"));
    }
    if (typed.toUcs4().size() > kMaxNameLength)
        return text(QT_TR_NOOP("A preset name can be at most %1 characters long."))
            .arg(kMaxNameLength);
    if (typed.front().isSpace() || typed.back().isSpace() || typed.endsWith(QLatin1Char('.')))
        return text(
            QT_TR_NOOP("A preset name cannot start or end with a space, or end with a dot."));
    if (isReservedOnWindows(typed))
        return text(QT_TR_NOOP("“%1” names a device on Windows and cannot name a preset."))
            .arg(typed);
    if (isDefault(typed) || same(typed, shownName(kDefaultName)))
        return text(QT_TR_NOOP("“%1” is the built-in preset; choose another name.")).arg(typed);
    return {};
}

} // namespace Presets
