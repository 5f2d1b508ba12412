#include "panel_probe.h"

#include "controls/button.h"
#include "controls/knob.h"

#include <QStandardPaths>
#include <QWidget>

namespace PanelProbe {

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

QString settingsPath(const QString& fileName)
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
           fileName;
}

} // namespace PanelProbe
