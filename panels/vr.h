#pragma once

#include <QWidget>

// The panel of the Quorlin VR. First cut: it names the unit; the controls,
// their driver commands and stored states are still to come.
class vr : public QWidget {
    Q_OBJECT

public:
    vr();
};
