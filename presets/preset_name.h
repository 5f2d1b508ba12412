#pragma once

// The rules for a preset's name. A preset is a file named after it, and the
// same name must work on every system the panel runs on: any letters of any
// language, but nothing a file system reads as a path, a device or a
// different name.

#include <QCoreApplication>
#include <QString>

namespace Presets {

// A message for the user, in the user's language for the panel's own
// dialogs and in English for quorlinctl, whose texts are the same in every
// language so that scripts can rely on them.
struct Message {
    QString shown;
    QString english;

    bool isEmpty() const { return english.isEmpty(); }
    template<typename... Args> Message arg(const Args&... args) const
    {
        return {shown.arg(args...), english.arg(args...)};
    }
    Message operator+(const Message& other) const
    {
        return {shown + other.shown, english + other.english};
    }
};

// Longest name, in characters. With ".ini" appended, even four UTF-8 bytes
// a character stay below the 255 bytes a file name may take.
inline constexpr int kMaxNameLength = 50;

// The built-in preset: every input control at rest. It is always listed and
// can be neither replaced nor deleted.
inline const QString kDefaultName = QStringLiteral("Default");

class NameRules {
    Q_DECLARE_TR_FUNCTIONS(NameRules)

public:
    // Why `name` cannot name a stored preset; empty when it can. The
    // built-in name is refused too.
    static Message refusal(const QString& name);

    // The name in the form it is compared and stored in: NFC, so that the
    // same letters typed two ways are one name.
    static QString normalized(const QString& name);

    // Names that differ only in case are the same preset on every system.
    static bool same(const QString& a, const QString& b);

    static bool isDefault(const QString& name) { return same(name, kDefaultName); }

    // The name as a menu shows it: the built-in one in the user's language.
    static QString shownName(const QString& name);

    // `source`, marked with QT_TR_NOOP in this class's context, in both languages.
    static Message text(const char* source) { return {tr(source), QString::fromUtf8(source)}; }
};

} // namespace Presets
