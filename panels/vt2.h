#pragma once

#include "driver/meter_block.h"
#include "driver/mixer_block.h"
#include "panels/model_panel.h"

class Button;
class Knob;
class QLabel;
class QSettings;
class QVBoxLayout;
class QuorlinIoControl;
namespace PanelParts {
template<typename Panel> struct StoredControl;
}

// The panel of the Quorlin VT2: two microphone inputs (gain, 20 dB pad, 48 V
// phantom power, DIRECT monitoring into both outputs), the speaker and the
// headphones (level with MUTE and DIM, and the level of the phone input in
// each), with level readouts for both inputs and the phone input.
//
// Every change goes to the unit at once and into "vt2.ini" at once; building
// the panel replays the stored state to the unit. When the unit does not open,
// the panel stays empty; a refused output volume is logged and the panel is
// built all the same.
class vt2 : public ModelPanel {
    Q_OBJECT

public:
    vt2();
    ~vt2() override;

    QString model() const override { return QStringLiteral("vt2"); }
    QVector<PanelControl> controls() const override;

public slots:
    void setSpeakerVolume(int value);
    void setHeadphoneVolume(int value);
    void onSpeakerMuteClicked(bool checked);
    void onSpeakerDimClicked(bool checked);
    void onHeadphoneMuteClicked(bool checked);
    void onHeadphoneDimClicked(bool checked);
    void updateMeters();

private:
    // Stored controls, in the order they are restored.
    static const PanelParts::StoredControl<vt2> storedControls[];

    void buildLayout();
    QVBoxLayout* buildMicColumn(const QString& title, Knob*& dial, Button*& pad20dB,
                                Button*& phantom48V, Button*& direct, QLabel*& meter);
    void loadControlState();
    template<typename Control> void saveState(Control* vt2::*control);

    void setMicGain(int channel, int value);
    void switchMic20dB(int channel, bool on);
    void switchMic48V(int channel, bool on);
    void onMonitorMic1Clicked(bool checked);
    void onMonitorMic2Clicked(bool checked);
    void onOtgToHpValueChanged(int value);
    void onOtgToSpValueChanged(int value);

    Knob* mic1Dial = nullptr;
    Button* mic1Pad20dBButton = nullptr;
    Button* mic1Phantom48VButton = nullptr;
    Button* monitorMic1Button = nullptr;
    QLabel* mic1MeterLabel = nullptr;
    Knob* mic2Dial = nullptr;
    Button* mic2Pad20dBButton = nullptr;
    Button* mic2Phantom48VButton = nullptr;
    Button* monitorMic2Button = nullptr;
    QLabel* mic2MeterLabel = nullptr;
    Knob* headphoneDial = nullptr;
    Button* headphoneMuteButton = nullptr;
    Button* headphoneDimButton = nullptr;
    Knob* speakerDial = nullptr;
    Button* speakerMuteButton = nullptr;
    Button* speakerDimButton = nullptr;
    bool speakerMuted = false;
    bool speakerDimmed = false;
    bool headphoneMuted = false;
    bool headphoneDimmed = false;
    MixerBlock mixer{};
    MeterBlock meters{};
    Knob* otgToHpDial = nullptr;
    QLabel* otgHpMeterLabel = nullptr;
    Knob* otgToSpDial = nullptr;
    QLabel* otgSpMeterLabel = nullptr;
    QSettings* settings = nullptr;
    QuorlinIoControl* ioControl = nullptr;
};
