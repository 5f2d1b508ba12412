#pragma once

// Template definitions of panel_parts.h.

#include "controls/button.h"
#include "controls/knob.h"
#include "panels/stored_value.h"

#include <QSettings>

namespace PanelParts {

template<typename Panel, std::size_t N>
void restoreControls(Panel& panel, QSettings* settings, const StoredControl<Panel> (&table)[N])
{
    for (const StoredControl<Panel>& entry : table) {
        // A value the file should not hold restores the control's default.
        const QVariant stored = settings->value(QString::fromLatin1(entry.key), entry.fallback);
        if (auto* button = std::get_if<Button * Panel::*>(&entry.control))
            (panel.**button)->setState(storedBool(stored, entry.fallback.toBool()));
        else
            (panel.*std::get<Knob * Panel::*>(entry.control))
                ->setValue(storedInt(stored, entry.fallback.toInt()));
    }
}

template<typename Panel, std::size_t N>
QVector<PanelControl> describeControls(const Panel& panel, const StoredControl<Panel> (&table)[N])
{
    QVector<PanelControl> controls;
    controls.reserve(int(N));
    for (const StoredControl<Panel>& entry : table) {
        PanelControl control{QString::fromLatin1(entry.name),
                             QString::fromLatin1(entry.key),
                             entry.section,
                             nullptr,
                             nullptr,
                             entry.fallback};
        if (auto* button = std::get_if<Button * Panel::*>(&entry.control))
            control.button = panel.**button;
        else
            control.knob = panel.*std::get<Knob * Panel::*>(entry.control);
        controls.append(control);
    }
    return controls;
}

template<typename Panel, typename Control, std::size_t N>
void saveControl(Panel& panel, QSettings* settings, const StoredControl<Panel> (&table)[N],
                 Control* Panel::*control)
{
    for (const StoredControl<Panel>& entry : table) {
        const auto* member = std::get_if<Control * Panel::*>(&entry.control);
        if (!member || *member != control)
            continue;
        const Control* widget = panel.*control;
        if constexpr (std::is_same_v<Control, Button>)
            save(settings, QString::fromLatin1(entry.key), widget->checked);
        else
            save(settings, QString::fromLatin1(entry.key), widget->value);
        return;
    }
}

} // namespace PanelParts
