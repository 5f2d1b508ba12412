#include "panels/vt1.h"

#include "panels/placeholder_panel.h"

vt1::vt1()
{
    fillPlaceholderPanel(this, QStringLiteral("Quorlin VT1"));
}
