<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Knob</name>
    <message>
        <location filename="../controls/control_accessibility.cpp" line="269"/>
        <source>%1 %2</source>
        <comment>a dial&apos;s value as a screen reader says it: the number, the unit</comment>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>LevelReadout</name>
    <message>
        <location filename="../controls/control_accessibility.cpp" line="227"/>
        <source>%1, %2</source>
        <comment>a level readout: what it measures, then the level</comment>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/main_window.cpp" line="70"/>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="169"/>
        <source>声卡未连接！</source>
        <translation>Sound card not connected!</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="213"/>
        <source>未知设备，请检查连接！</source>
        <translation>Unknown device, please check the connection!</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="250"/>
        <source>获取固件版本失败，请检查连接！</source>
        <translation>Could not read the firmware version, please check the connection!</translation>
    </message>
</context>
<context>
    <name>NameRules</name>
    <message>
        <location filename="../presets/preset_name.cpp" line="63"/>
        <source>Default</source>
        <comment>the built-in preset</comment>
        <translation>Default</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="70"/>
        <source>A preset needs a name.</source>
        <translation>A preset needs a name.</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="73"/>
        <source>A preset name cannot hold control characters or line breaks.</source>
        <translation>A preset name cannot hold control characters or line breaks.</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="75"/>
        <source>A preset name cannot hold any of these characters: %1</source>
        <translation>A preset name cannot hold any of these characters: %1</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="79"/>
        <source>A preset name can be at most %1 characters long.</source>
        <translation>A preset name can be at most %1 characters long.</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="83"/>
        <source>A preset name cannot start or end with a space, or end with a dot.</source>
        <translation>A preset name cannot start or end with a space, or end with a dot.</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="85"/>
        <source>“%1” names a device on Windows and cannot name a preset.</source>
        <translation>“%1” names a device on Windows and cannot name a preset.</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="88"/>
        <source>“%1” is the built-in preset; choose another name.</source>
        <translation>“%1” is the built-in preset; choose another name.</translation>
    </message>
</context>
<context>
    <name>PresetMenu</name>
    <message>
        <location filename="../app/preset_menu.cpp" line="29"/>
        <source>&amp;Presets</source>
        <translation>&amp;Presets</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="45"/>
        <source>No unit connected</source>
        <translation>No unit connected</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="53"/>
        <source>Save current as…</source>
        <translation>Save current as…</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="54"/>
        <source>Delete…</source>
        <translation>Delete…</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="64"/>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="65"/>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="78"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="92"/>
        <source>Presets</source>
        <translation>Presets</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="93"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="101"/>
        <location filename="../app/preset_menu.cpp" line="130"/>
        <location filename="../app/preset_menu.cpp" line="140"/>
        <location filename="../app/preset_menu.cpp" line="150"/>
        <location filename="../app/preset_menu.cpp" line="160"/>
        <source>No unit is connected.</source>
        <translation>No unit is connected.</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="105"/>
        <source>Phantom power</source>
        <translation>Phantom power</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="106"/>
        <source>Preset “%1” switches on 48V phantom power: %2.

Phantom power can damage equipment that is not made for it. Switch it on?</source>
        <translation>Preset “%1” switches on 48V phantom power: %2.

Phantom power can damage equipment that is not made for it. Switch it on?</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="119"/>
        <source>Save Preset</source>
        <translation>Save Preset</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="119"/>
        <source>Save the current input settings as:</source>
        <translation>Save the current input settings as:</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="119"/>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="133"/>
        <source>Replace Preset</source>
        <translation>Replace Preset</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="134"/>
        <source>There is already a preset “%1”. Replace it with the current settings?</source>
        <translation>There is already a preset “%1”. Replace it with the current settings?</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="155"/>
        <location filename="../app/preset_menu.cpp" line="156"/>
        <source>Delete Preset</source>
        <translation>Delete Preset</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="155"/>
        <source>Preset to delete:</source>
        <translation>Preset to delete:</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="155"/>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="156"/>
        <source>Delete preset “%1”?</source>
        <translation>Delete preset “%1”?</translation>
    </message>
</context>
<context>
    <name>PresetStore</name>
    <message>
        <location filename="../presets/preset_store.cpp" line="128"/>
        <location filename="../presets/preset_store.cpp" line="337"/>
        <source>There is no preset “%1” for the %2.</source>
        <translation>There is no preset “%1” for the %2.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="140"/>
        <source>this is a folder.</source>
        <translation>this is a folder.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="144"/>
        <source>the file cannot be read (%1).</source>
        <translation>the file cannot be read (%1).</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="148"/>
        <source>the file is larger than a preset can be (%1 bytes at most).</source>
        <translation>the file is larger than a preset can be (%1 bytes at most).</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="161"/>
        <source>the file is empty.</source>
        <translation>the file is empty.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="165"/>
        <source>the file is not text.</source>
        <translation>the file is not text.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="167"/>
        <source>the last line is cut short.</source>
        <translation>the last line is cut short.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="190"/>
        <source>line %1 is neither a [section] nor an entry: “%2”.</source>
        <translation>line %1 is neither a [section] nor an entry: “%2”.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="196"/>
        <source>entry %1 appears twice, on lines %2 and %3.</source>
        <translation>entry %1 appears twice, on lines %2 and %3.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="205"/>
        <source>entry %1 is missing: this is not a preset.</source>
        <translation>entry %1 is missing: this is not a preset.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="209"/>
        <source>entry %1 (line %2): format “%3” is not one this program reads (%4).</source>
        <translation>entry %1 (line %2): format “%3” is not one this program reads (%4).</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="214"/>
        <source>entry %1 (line %2): the preset is for “%3”, not for the %4.</source>
        <translation>entry %1 (line %2): the preset is for “%3”, not for the %4.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="232"/>
        <source>entry %1 (line %2) is an output control; a preset holds only the inputs.</source>
        <translation>entry %1 (line %2) is an output control; a preset holds only the inputs.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="235"/>
        <source>entry %1 (line %2) is not a control of the %3.</source>
        <translation>entry %1 (line %2) is not a control of the %3.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="241"/>
        <source>entry %1 (line %2): “%3” is not a whole number.</source>
        <translation>entry %1 (line %2): “%3” is not a whole number.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="248"/>
        <source>entry %1 (line %2): %3 is outside the dial&apos;s range, %4 to %5.</source>
        <translation>entry %1 (line %2): %3 is outside the dial&apos;s range, %4 to %5.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="258"/>
        <source>entry %1 (line %2): “%3” is not true or false.</source>
        <translation>entry %1 (line %2): “%3” is not true or false.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="267"/>
        <source>entry %1 is missing.</source>
        <translation>entry %1 is missing.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="311"/>
        <source>%1 could not be written: %2</source>
        <translation>%1 could not be written: %2</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="322"/>
        <location filename="../presets/preset_store.cpp" line="365"/>
        <source>There is already a preset “%1”.</source>
        <translation>There is already a preset “%1”.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="332"/>
        <source>“%1” is the built-in preset and cannot be deleted.</source>
        <translation>“%1” is the built-in preset and cannot be deleted.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="340"/>
        <source>%1 could not be deleted: %2</source>
        <translation>%1 could not be deleted: %2</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="397"/>
        <source>The unit is no longer connected; nothing was changed.</source>
        <translation>The unit is no longer connected; nothing was changed.</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="413"/>
        <source>Preset “%1” was not recalled: it switches on 48V phantom power (%2).</source>
        <translation>Preset “%1” was not recalled: it switches on 48V phantom power (%2).</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../settings/settings.cpp" line="200"/>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="205"/>
        <source>Buffer Size</source>
        <translation>Buffer Size</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="208"/>
        <source>%1 samples</source>
        <comment>buffer size</comment>
        <translation>%1 samples</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="213"/>
        <source>USB Latency Size</source>
        <translation>USB Latency Size</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="216"/>
        <source>%1 ms</source>
        <comment>USB latency</comment>
        <translation>%1 ms</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="222"/>
        <source>Samplerate</source>
        <translation>Sample Rate</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="225"/>
        <source>%1 Hz</source>
        <comment>sample rate</comment>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="230"/>
        <source>Safe Mode</source>
        <translation>Safe Mode</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="247"/>
        <source>USB Error</source>
        <translation>USB Error</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="388"/>
        <source>USB Error Count: %1</source>
        <translation>USB Error Count: %1</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <location filename="../app/tray_icon.cpp" line="63"/>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="64"/>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="65"/>
        <source>Main Window</source>
        <translation>Main Window</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="66"/>
        <source>Upgrade Firmware</source>
        <translation>Upgrade Firmware</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="67"/>
        <source>Refresh Audio Device</source>
        <translation>Refresh Audio Device</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="68"/>
        <source>Win Sound Pannel</source>
        <translation>Win Sound Panel</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="109"/>
        <location filename="../app/tray_icon.cpp" line="117"/>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="109"/>
        <source>主窗口未设置，请先设置主窗口。</source>
        <translation>The main window is not set. Please set the main window first.</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="117"/>
        <source>设置窗口未设置，请先设置设置窗口。</source>
        <translation>The settings window is not set. Please set the settings window first.</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="137"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="137"/>
        <source>无法打开声音设置面板，请检查系统设置。</source>
        <translation>Could not open the sound settings. Please check your system settings.</translation>
    </message>
</context>
<context>
    <name>vr</name>
    <message>
        <location filename="../panels/vr.cpp" line="90"/>
        <source>MIC</source>
        <translation>MIC</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="92"/>
        <source>MIC Gain</source>
        <translation>MIC Gain</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="94"/>
        <source>MIC level</source>
        <translation>MIC level</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="96"/>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="97"/>
        <source>DIRECT</source>
        <translation>DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="98"/>
        <source>MIC DIRECT</source>
        <translation>MIC DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="105"/>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="106"/>
        <source>Headphone Volume</source>
        <translation>Headphone Volume</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="106"/>
        <source>Headphone MUTE</source>
        <translation>Headphone MUTE</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="106"/>
        <source>Headphone DIM</source>
        <translation>Headphone DIM</translation>
    </message>
</context>
<context>
    <name>vt1</name>
    <message>
        <location filename="../panels/vt1.cpp" line="92"/>
        <source>INPUT</source>
        <translation>INPUT</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="94"/>
        <source>Input Gain</source>
        <translation>Input Gain</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="96"/>
        <source>Input level</source>
        <translation>Input level</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="98"/>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="100"/>
        <location filename="../panels/vt1.cpp" line="164"/>
        <source>MIC</source>
        <translation>MIC</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="103"/>
        <source>DIRECT</source>
        <translation>DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="105"/>
        <source>Input INST</source>
        <translation>Input INST</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="106"/>
        <source>Input 20dB</source>
        <translation>Input 20dB</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="107"/>
        <source>Input 48V</source>
        <translation>Input 48V</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="108"/>
        <source>Input DIRECT</source>
        <translation>Input DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="116"/>
        <source>HEADPHONE</source>
        <translation>HEADPHONE</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="116"/>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="117"/>
        <source>Headphone Volume</source>
        <translation>Headphone Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="117"/>
        <source>Headphone MUTE</source>
        <translation>Headphone MUTE</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="117"/>
        <source>Headphone DIM</source>
        <translation>Headphone DIM</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="118"/>
        <source>Headphone phone level</source>
        <translation>Headphone phone level</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="119"/>
        <source>Phone To HP Volume</source>
        <translation>Phone To HP Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="164"/>
        <source>INST</source>
        <translation>INST</translation>
    </message>
</context>
<context>
    <name>vt2</name>
    <message>
        <location filename="../panels/vt2.cpp" line="158"/>
        <source>MIC1</source>
        <translation>MIC1</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="160"/>
        <source>MIC2</source>
        <translation>MIC2</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="128"/>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="124"/>
        <source>%1 Gain</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 Gain</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="126"/>
        <source>%1 level</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 level</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="132"/>
        <source>DIRECT</source>
        <translation>DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="133"/>
        <source>%1 20dB</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 20dB</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="134"/>
        <source>%1 48V</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 48V</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="135"/>
        <source>%1 DIRECT</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="164"/>
        <source>SPEAKER</source>
        <translation>SPEAKER</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="165"/>
        <source>Speaker Volume</source>
        <translation>Speaker Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="165"/>
        <source>Speaker MUTE</source>
        <translation>Speaker MUTE</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="165"/>
        <source>Speaker DIM</source>
        <translation>Speaker DIM</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="175"/>
        <source>HEADPHONE</source>
        <translation>HEADPHONE</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="164"/>
        <location filename="../panels/vt2.cpp" line="175"/>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="165"/>
        <source>Speaker phone level</source>
        <translation>Speaker phone level</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="166"/>
        <source>Phone To SP Volume</source>
        <translation>Phone To SP Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="176"/>
        <source>Headphone Volume</source>
        <translation>Headphone Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="176"/>
        <source>Headphone MUTE</source>
        <translation>Headphone MUTE</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="176"/>
        <source>Headphone DIM</source>
        <translation>Headphone DIM</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="177"/>
        <source>Headphone phone level</source>
        <translation>Headphone phone level</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="178"/>
        <source>Phone To HP Volume</source>
        <translation>Phone To HP Volume</translation>
    </message>
</context>
</TS>
