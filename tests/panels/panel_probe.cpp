#include "panel_probe.h"

#include "controls/button.h"
#include "controls/knob.h"

#include <QLabel>
#include <QStandardPaths>
#include <QWidget>

namespace PanelProbe {

namespace {
QString firstWord(const std::string& line)
{
    const QString text = QString::fromStdString(line);
    return text.section(QLatin1Char(' '), 0, 0);
}
} // namespace

QStringList operations(const std::vector<std::string>& trace)
{
    QStringList names;
    for (const std::string& line : trace)
        if (firstWord(line) != QLatin1String("ReadMeters"))
            names << firstWord(line);
    return names;
}

QStringList linesOf(const std::vector<std::string>& trace, const QString& operation)
{
    QStringList lines;
    for (const std::string& line : trace)
        if (firstWord(line) == operation)
            lines << QString::fromStdString(line);
    return lines;
}

QList<Knob*> knobs(QWidget* panel)
{
    return panel->findChildren<Knob*>(QString(), Qt::FindDirectChildrenOnly);
}

Button* button(QWidget* panel, const QString& text, int index)
{
    for (Button* candidate : panel->findChildren<Button*>(QString(), Qt::FindDirectChildrenOnly))
        if (candidate->text() == text && index-- == 0)
            return candidate;
    return nullptr;
}

QList<QLabel*> readouts(QWidget* panel)
{
    QList<QLabel*> labels;
    for (QLabel* label : panel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        if (label->text().endsWith(QLatin1String(" dB")))
            labels << label;
    return labels;
}

QString settingsPath(const QString& fileName)
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
           fileName;
}

} // namespace PanelProbe
