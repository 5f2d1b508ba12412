#include "panels/stored_value.h"

#include <QByteArray>
#include <QString>
#include <limits>

namespace PanelParts {

namespace {

// Decimal text as QSettings writes an int: an optional '-' and at least one
// digit, nothing else.
bool isDecimal(const QString& text)
{
    const int start = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.size() == start)
        return false;
    for (int i = start; i < text.size(); ++i) {
        if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

std::optional<int> parseStoredInt(const QVariant& stored)
{
    switch (stored.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return stored.toInt();
    case QMetaType::Long:
    case QMetaType::LongLong: {
        const qlonglong value = stored.toLongLong();
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            return std::nullopt;
        return static_cast<int>(value);
    }
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong value = stored.toULongLong();
        if (value > static_cast<qulonglong>(std::numeric_limits<int>::max()))
            return std::nullopt;
        return static_cast<int>(value);
    }
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QString text = stored.toString();
        if (!isDecimal(text))
            return std::nullopt;
        bool fits = false;
        const int value = text.toInt(&fits, 10);
        if (!fits)
            return std::nullopt;
        return value;
    }
    default:
        return std::nullopt;
    }
}

std::optional<bool> parseStoredBool(const QVariant& stored)
{
    switch (stored.typeId()) {
    case QMetaType::Bool:
        return stored.toBool();
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QString text = stored.toString();
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return true;
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return false;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

int storedInt(const QVariant& stored, int fallback)
{
    return parseStoredInt(stored).value_or(fallback);
}

bool storedBool(const QVariant& stored, bool fallback)
{
    return parseStoredBool(stored).value_or(fallback);
}

} // namespace PanelParts
