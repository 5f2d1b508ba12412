#pragma once

// Finding a panel's controls and its settings file, for the tests that build
// panels.

#include "wide_output_sink.h"

#include <QList>
#include <QString>

class Button;
class Knob;
class QWidget;

namespace PanelProbe {

// The panel's dials in creation order.
QList<Knob*> knobs(QWidget* panel);

// The `index`-th switch of the panel that shows `text`, in creation order.
Button* button(QWidget* panel, const QString& text, int index = 0);

// "<AppDataLocation>/<fileName>".
QString settingsPath(const QString& fileName);

} // namespace PanelProbe
