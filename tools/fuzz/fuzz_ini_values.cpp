// The values a panel reads back from its settings file. The input is a whole
// INI file: QSettings parses it, and every value it finds goes through the
// panel's mapping for a dial and for a switch, as a damaged or hand-edited
// file would. The mapping must never crash and must give either the default
// or exactly what a QSettings-written value means.

#include "panels/stored_value.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

constexpr int kDialDefault = -80;

bool isText(const QVariant& value)
{
    return value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray;
}

// What the mapping must give for `value`, worked out independently: an
// integer within int, as a number (a file can hold one in an @Variant) or as
// the decimal text QSettings writes; nothing else.
int expectedDial(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::LongLong: {
        const long long number = value.toLongLong();
        return number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max()
                   ? kDialDefault
                   : int(number);
    }
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const unsigned long long number = value.toULongLong();
        return number > unsigned(std::numeric_limits<int>::max()) ? kDialDefault : int(number);
    }
    default:
        break;
    }
    if (!isText(value))
        return kDialDefault;
    const QByteArray text = value.toString().toUtf8();
    qsizetype i = text.startsWith('-') ? 1 : 0;
    if (i == text.size())
        return kDialDefault;
    long long number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return kDialDefault;
        number = number * 10 + (text[i] - '0');
        if (number > 1LL << 32)
            return kDialDefault;
    }
    if (text.startsWith('-'))
        number = -number;
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return kDialDefault;
    return int(number);
}

// A value of one of the types an "@Variant(...)" entry can give, built from
// the input directly: QSettings' own decoding of such entries can allocate
// gigabytes for a crafted length field, which is Qt's business, not the
// mapping's, so the file path leaves them out.
QVariant typedValue(const std::uint8_t* data, std::size_t size)
{
    qint64 number = 0;
    for (std::size_t i = 1; i < size && i < 9; ++i)
        number = (number << 8) | data[i];
    switch (size == 0 ? 0 : data[0] % 8) {
    case 0:
        return QVariant(int(number));
    case 1:
        return QVariant(uint(number));
    case 2:
        return QVariant(qlonglong(number));
    case 3:
        return QVariant(qulonglong(number));
    case 4:
        return QVariant(number % 2 == 0);
    case 5:
        return QVariant(double(number) / 7.0);
    case 6:
        return QVariant(QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1));
    default:
        return QVariant(QStringList{QString::number(number)});
    }
}

void check(const QVariant& value)
{
    if (PanelParts::storedInt(value, kDialDefault) != expectedDial(value))
        std::abort();
    const bool isBool = value.typeId() == QMetaType::Bool;
    const QString text = isText(value) ? value.toString() : QString();
    const bool on =
        isBool ? value.toBool() : text == QLatin1String("true") || text == QLatin1String("1");
    const bool off =
        isBool ? !value.toBool() : text == QLatin1String("false") || text == QLatin1String("0");
    if (PanelParts::storedBool(value, false) != on || PanelParts::storedBool(value, true) == off)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_ini_values";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    static QTemporaryDir directory;
    const QString path = directory.path() + QStringLiteral("/vt2.ini");

    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (input.contains("@Variant(")) {
        check(typedValue(data, size));
        return 0;
    }
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(input);
    }
    QSettings settings(path, QSettings::IniFormat);
    for (const QString& key : settings.allKeys())
        check(settings.value(key));
    return 0;
}
