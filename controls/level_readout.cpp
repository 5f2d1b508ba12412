#include "controls/level_readout.h"

#include "controls/control_accessibility.h"

#include <QAccessible>

LevelReadout::LevelReadout(const QString& name, const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    ControlAccessibility::install();
    setAccessibleName(name);
}

void LevelReadout::setLevel(const QString& text)
{
    if (text == this->text())
        return;
    setText(text);
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}
