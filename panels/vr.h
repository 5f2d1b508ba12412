#pragma once

#include "driver/meter_block.h"
#include "driver/mixer_block.h"
#include "panels/model_panel.h"

class Button;
class Knob;
class QLabel;
class QSettings;
class QuorlinIoControl;
namespace PanelParts {
template<typename Panel> struct StoredControl;
}

// The panel of the Quorlin VR: one input (gain and DIRECT monitoring) and the
// headphones (level with MUTE and DIM), with the input level readout. The
// phone input plays into the headphones at unity; no control changes that.
//
// Every change goes to the unit at once and into "vr.ini" at once; building
// the panel replays the stored state to the unit. When the unit does not open,
// the panel stays empty; a refused output volume is logged and the panel is
// built all the same.
class vr : public ModelPanel {
    Q_OBJECT

public:
    vr();
    ~vr() override;

    QString model() const override { return QStringLiteral("vr"); }
    QVector<PanelControl> controls() const override;

public slots:
    void setHeadphoneVolume(int value);
    void onHeadphoneMuteClicked(bool status);
    void onHeadphoneDimClicked(bool status);
    void updateMeters();

private:
    // Stored controls, in the order they are restored.
    static const PanelParts::StoredControl<vr> storedControls[];

    void buildLayout();
    void loadControlState();
    template<typename Control> void saveState(Control* vr::*control);

    void onMicValueChanged(int value);
    void onMonitorMicClicked(bool status);

    Knob* micDial = nullptr;
    QLabel* inputMeterLabel = nullptr;
    Knob* headphoneDial = nullptr;
    Button* headphoneMuteButton = nullptr;
    Button* headphoneDimButton = nullptr;
    Button* monitorMicButton = nullptr;
    bool headphoneMuted = false;
    bool headphoneDimmed = false;
    MixerBlock mixer{};
    MeterBlock meters{};
    QSettings* settings = nullptr;
    QuorlinIoControl* ioControl = nullptr;
};
