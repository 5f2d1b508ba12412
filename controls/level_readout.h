#pragma once

#include <QLabel>

// A level readout: a label whose text its owner rewrites with every meter
// read. A screen reader finds it as "<name>, <level>" (for example "MIC1
// level, -27.0 dB"), worked out whenever it asks. Rewriting the text sends no
// accessibility event: a label with an accessible name of its own does not
// announce its text, so the readouts never flood a screen reader.
class LevelReadout : public QLabel {
    Q_OBJECT

public:
    // `name` says what the readout measures. It must not be empty: without
    // it, every new text would be announced as a new name.
    LevelReadout(const QString& name, const QString& text, QWidget* parent);
};
