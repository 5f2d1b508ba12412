#pragma once

#include <QWidget>

// The panel of the Quorlin VT1. First cut: it names the unit; the controls,
// their driver commands and stored states are still to come.
class vt1 : public QWidget {
    Q_OBJECT

public:
    vt1();
};
