#include "panels/vr.h"

#include "panels/placeholder_panel.h"

vr::vr()
{
    fillPlaceholderPanel(this, QStringLiteral("Quorlin VR"));
}
