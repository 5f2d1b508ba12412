#include "controls/level_readout.h"

#include "controls/control_accessibility.h"

LevelReadout::LevelReadout(const QString& name, const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    ControlAccessibility::install();
    setAccessibleName(name);
}
