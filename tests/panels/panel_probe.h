#pragma once

// Finding a panel's controls (in creation order) and its settings file.

#include "controls/button.h"
#include "controls/knob.h"
#include "wide_output_sink.h"

#include <QStandardPaths>
#include <QWidget>

namespace PanelProbe {

inline QList<Knob*> knobs(QWidget* panel)
{
    return panel->findChildren<Knob*>(QString(), Qt::FindDirectChildrenOnly);
}

inline Button* button(QWidget* panel, const QString& text, int index = 0)
{
    for (Button* candidate : panel->findChildren<Button*>(QString(), Qt::FindDirectChildrenOnly))
        if (candidate->text() == text && index-- == 0)
            return candidate;
    return nullptr;
}

inline QString settingsPath(const QString& fileName)
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + '/' + fileName;
}

} // namespace PanelProbe
