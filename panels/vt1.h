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

// The panel of the Quorlin VT1: one input (gain, MIC/INST, 20 dB pad, 48 V
// phantom power, DIRECT monitoring) and the headphones (level with MUTE and
// DIM, and the level of the phone input in them), with level readouts.
//
// Every change goes to the unit at once and into "vt1.ini" at once; building
// the panel replays the stored state to the unit. When the unit does not open,
// the panel stays empty; a refused output volume is logged and the panel is
// built all the same.
class vt1 : public ModelPanel {
    Q_OBJECT

public:
    vt1();
    ~vt1() override;

    QString model() const override { return QStringLiteral("vt1"); }
    QVector<PanelControl> controls() const override;

public slots:
    void setHeadphoneVolume(int value);
    void onHeadphoneMuteClicked(bool status);
    void onHeadphoneDimClicked(bool status);
    void updateMeters();

private:
    // Stored controls, in the order they are restored.
    static const PanelParts::StoredControl<vt1> storedControls[];

    void buildLayout();
    void loadControlState();
    template<typename Control> void saveState(Control* vt1::*control);

    void onMicValueChanged(int value);
    void onMicInstrClicked(int channel, bool status);
    void onMic20dBClicked(bool status);
    void onMic48VClicked(bool status);
    void onMonitorMicClicked(bool status);
    void onOtgToHpValueChanged(int value);

    Knob* micDial = nullptr;
    Button* micInstrButton = nullptr;
    Button* mic20dBButton = nullptr;
    Button* mic48VButton = nullptr;
    QLabel* inputMeterLabel = nullptr;
    Knob* headphoneDial = nullptr;
    Button* headphoneMuteButton = nullptr;
    Button* headphoneDimButton = nullptr;
    Knob* otgToHpDial = nullptr;
    QLabel* otgMeterLabel = nullptr;
    Button* monitorMicButton = nullptr;
    bool headphoneMuted = false;
    bool headphoneDimmed = false;
    MixerBlock mixer{};
    MeterBlock meters{};
    QSettings* settings = nullptr;
    QuorlinIoControl* ioControl = nullptr;
};
