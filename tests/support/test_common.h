#pragma once

// What most tests here use: Qt Test with its tables, the test's own
// directories, files and settings, the log, the driver's open lines and the
// virtual unit.

#include "log_capture.h"
#include "table_rows.h"
#include "test_environment.h"
#include "virtual_unit.h"
#include "wide_output_sink.h"

#include <QFile>
#include <QSettings>
#include <QTimer>
#include <memory>

// Writes `bytes` to `path`, making its directory first.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// The bytes of `path`; none when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A plugged unit whose meters stand still.
inline std::unique_ptr<virtualunit::VirtualUnit> stillUnit()
{
    auto unit = std::make_unique<virtualunit::VirtualUnit>();
    unit->setMovingMeters(false);
    return unit->plug() ? std::move(unit) : nullptr;
}

// What `unit` received since the last call, without the meter reads.
inline QStringList sentTo(virtualunit::VirtualUnit& unit)
{
    QStringList lines;
    for (const std::string& line : unit.takeTrace())
        if (line.rfind("ReadMeters", 0) != 0)
            lines << QString::fromStdString(line);
    return lines;
}
