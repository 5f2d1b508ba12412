#pragma once

#include <QWidget>

// The panel of the Quorlin VT2.
class vt2 : public QWidget {
    Q_OBJECT

public:
    vt2();
};
