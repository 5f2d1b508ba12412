#include "panels/vt2.h"

#include "panels/placeholder_panel.h"

vt2::vt2()
{
    fillPlaceholderPanel(this, QStringLiteral("Quorlin VT2"));
}
