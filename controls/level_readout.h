#pragma once

#include <QLabel>

// A level readout: a label whose text its owner sets with every meter read
// (setLevel). A screen reader finds it as "<name>, <level>" (for example
// "MIC1 level, -27.0 dB"), worked out whenever it asks. A new level tells
// assistive technology that this name changed, so a client that keeps names
// reads the current one; screen readers speak such a change only for the
// control with the focus, which a readout never has, so the readouts do not
// chatter.
class LevelReadout : public QLabel {
    Q_OBJECT

public:
    // `name` says what the readout measures. It must not be empty: without
    // it, every new text would be announced as a new name.
    LevelReadout(const QString& name, const QString& text, QWidget* parent);

    // Shows `text`, and tells assistive technology when it differs from
    // what was shown.
    void setLevel(const QString& text);
};
