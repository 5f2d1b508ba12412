#pragma once

// Helpers for the panel tests: finding a panel's controls, reading the unit's
// trace, and locating the panel's settings file.

#include "wide_output_sink.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class Button;
class Knob;
class QLabel;
class QWidget;

namespace PanelProbe {

// The operation names of a trace (its first words), leaving out the periodic
// meter reads.
QStringList operations(const std::vector<std::string>& trace);

// The trace lines of one operation, in order.
QStringList linesOf(const std::vector<std::string>& trace, const QString& operation);

// The panel's Knobs in creation order.
QList<Knob*> knobs(QWidget* panel);

// The `index`-th Button of the panel that shows `text`.
Button* button(QWidget* panel, const QString& text, int index = 0);

// The level readouts ("... dB" labels) in creation order.
QList<QLabel*> readouts(QWidget* panel);

// "<AppDataLocation>/<fileName>".
QString settingsPath(const QString& fileName);

} // namespace PanelProbe
