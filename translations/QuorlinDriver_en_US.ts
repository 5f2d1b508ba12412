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
        <location filename="../app/main_window.cpp" line="69"/>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="151"/>
        <source>声卡未连接！</source>
        <translation>Sound card not connected!</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="195"/>
        <source>未知设备，请检查连接！</source>
        <translation>Unknown device, please check the connection!</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="230"/>
        <source>获取固件版本失败，请检查连接！</source>
        <translation>Could not read the firmware version, please check the connection!</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../settings/settings.cpp" line="196"/>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="201"/>
        <source>Buffer Size</source>
        <translation>Buffer Size</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="204"/>
        <source>%1 samples</source>
        <comment>buffer size</comment>
        <translation>%1 samples</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="209"/>
        <source>USB Latency Size</source>
        <translation>USB Latency Size</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="212"/>
        <source>%1 ms</source>
        <comment>USB latency</comment>
        <translation>%1 ms</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="218"/>
        <source>Samplerate</source>
        <translation>Sample Rate</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="221"/>
        <source>%1 Hz</source>
        <comment>sample rate</comment>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="226"/>
        <source>Safe Mode</source>
        <translation>Safe Mode</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="243"/>
        <source>USB Error</source>
        <translation>USB Error</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="375"/>
        <source>USB Error Count: %1</source>
        <translation>USB Error Count: %1</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <location filename="../app/tray_icon.cpp" line="62"/>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="63"/>
        <source>Setup</source>
        <translation>Setup</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="64"/>
        <source>Main Window</source>
        <translation>Main Window</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="65"/>
        <source>Upgrade Firmware</source>
        <translation>Upgrade Firmware</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="66"/>
        <source>Refresh Audio Device</source>
        <translation>Refresh Audio Device</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="67"/>
        <source>Win Sound Pannel</source>
        <translation>Win Sound Panel</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="105"/>
        <location filename="../app/tray_icon.cpp" line="113"/>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="105"/>
        <source>主窗口未设置，请先设置主窗口。</source>
        <translation>The main window is not set. Please set the main window first.</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="113"/>
        <source>设置窗口未设置，请先设置设置窗口。</source>
        <translation>The settings window is not set. Please set the settings window first.</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="133"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="133"/>
        <source>无法打开声音设置面板，请检查系统设置。</source>
        <translation>Could not open the sound settings. Please check your system settings.</translation>
    </message>
</context>
<context>
    <name>vr</name>
    <message>
        <location filename="../panels/vr.cpp" line="80"/>
        <source>MIC</source>
        <translation>MIC</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="82"/>
        <source>MIC Gain</source>
        <translation>MIC Gain</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="84"/>
        <source>MIC level</source>
        <translation>MIC level</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="86"/>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="87"/>
        <source>DIRECT</source>
        <translation>DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="88"/>
        <source>MIC DIRECT</source>
        <translation>MIC DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="95"/>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="96"/>
        <source>Headphone Volume</source>
        <translation>Headphone Volume</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="96"/>
        <source>Headphone MUTE</source>
        <translation>Headphone MUTE</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="96"/>
        <source>Headphone DIM</source>
        <translation>Headphone DIM</translation>
    </message>
</context>
<context>
    <name>vt1</name>
    <message>
        <location filename="../panels/vt1.cpp" line="82"/>
        <source>INPUT</source>
        <translation>INPUT</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="84"/>
        <source>Input Gain</source>
        <translation>Input Gain</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="86"/>
        <source>Input level</source>
        <translation>Input level</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="88"/>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="90"/>
        <location filename="../panels/vt1.cpp" line="154"/>
        <source>MIC</source>
        <translation>MIC</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="93"/>
        <source>DIRECT</source>
        <translation>DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="95"/>
        <source>Input INST</source>
        <translation>Input INST</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="96"/>
        <source>Input 20dB</source>
        <translation>Input 20dB</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="97"/>
        <source>Input 48V</source>
        <translation>Input 48V</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="98"/>
        <source>Input DIRECT</source>
        <translation>Input DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="106"/>
        <source>HEADPHONE</source>
        <translation>HEADPHONE</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="106"/>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="107"/>
        <source>Headphone Volume</source>
        <translation>Headphone Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="107"/>
        <source>Headphone MUTE</source>
        <translation>Headphone MUTE</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="107"/>
        <source>Headphone DIM</source>
        <translation>Headphone DIM</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="108"/>
        <source>Headphone phone level</source>
        <translation>Headphone phone level</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="109"/>
        <source>Phone To HP Volume</source>
        <translation>Phone To HP Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="154"/>
        <source>INST</source>
        <translation>INST</translation>
    </message>
</context>
<context>
    <name>vt2</name>
    <message>
        <location filename="../panels/vt2.cpp" line="143"/>
        <source>MIC1</source>
        <translation>MIC1</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="145"/>
        <source>MIC2</source>
        <translation>MIC2</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="120"/>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="116"/>
        <source>%1 Gain</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 Gain</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="118"/>
        <source>%1 level</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 level</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="124"/>
        <source>DIRECT</source>
        <translation>DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="125"/>
        <source>%1 20dB</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 20dB</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="126"/>
        <source>%1 48V</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 48V</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="127"/>
        <source>%1 DIRECT</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="149"/>
        <source>SPEAKER</source>
        <translation>SPEAKER</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="150"/>
        <source>Speaker Volume</source>
        <translation>Speaker Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="150"/>
        <source>Speaker MUTE</source>
        <translation>Speaker MUTE</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="150"/>
        <source>Speaker DIM</source>
        <translation>Speaker DIM</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="160"/>
        <source>HEADPHONE</source>
        <translation>HEADPHONE</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="149"/>
        <location filename="../panels/vt2.cpp" line="160"/>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="150"/>
        <source>Speaker phone level</source>
        <translation>Speaker phone level</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="151"/>
        <source>Phone To SP Volume</source>
        <translation>Phone To SP Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="161"/>
        <source>Headphone Volume</source>
        <translation>Headphone Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="161"/>
        <source>Headphone MUTE</source>
        <translation>Headphone MUTE</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="161"/>
        <source>Headphone DIM</source>
        <translation>Headphone DIM</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="162"/>
        <source>Headphone phone level</source>
        <translation>Headphone phone level</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="163"/>
        <source>Phone To HP Volume</source>
        <translation>Phone To HP Volume</translation>
    </message>
</context>
</TS>
