<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/main_window.cpp" line="90"/>
        <source>声卡未连接！</source>
        <translation>Sound card not connected!</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="139"/>
        <source>未知设备，请检查连接！</source>
        <translation>Unknown device, please check the connection!</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="159"/>
        <source>获取固件版本失败，请检查连接！</source>
        <translation>Could not read the firmware version, please check the connection!</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../settings/settings.cpp" line="152"/>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="157"/>
        <source>Buffer Size</source>
        <translation>Buffer Size</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="163"/>
        <source>USB Latency Size</source>
        <translation>USB Latency Size</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="170"/>
        <source>Samplerate</source>
        <translation>Sample Rate</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="176"/>
        <source>Safe Mode</source>
        <translation>Safe Mode</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="193"/>
        <source>USB Error</source>
        <translation>USB Error</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="289"/>
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
        <location filename="../app/tray_icon.cpp" line="106"/>
        <location filename="../app/tray_icon.cpp" line="114"/>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="106"/>
        <source>主窗口未设置，请先设置主窗口。</source>
        <translation>The main window is not set. Please set the main window first.</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="114"/>
        <source>设置窗口未设置，请先设置设置窗口。</source>
        <translation>The settings window is not set. Please set the settings window first.</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="134"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="134"/>
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
        <location filename="../panels/vr.cpp" line="85"/>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="86"/>
        <source>DIRECT</source>
        <translation>DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="100"/>
        <source>Volume</source>
        <translation>Volume</translation>
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
        <location filename="../panels/vt1.cpp" line="87"/>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="89"/>
        <location filename="../panels/vt1.cpp" line="170"/>
        <source>MIC</source>
        <translation>MIC</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="92"/>
        <source>DIRECT</source>
        <translation>DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="103"/>
        <source>HEADPHONE</source>
        <translation>HEADPHONE</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="108"/>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="123"/>
        <source>Phone To HP Volume</source>
        <translation>Phone To HP Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="170"/>
        <source>INST</source>
        <translation>INST</translation>
    </message>
</context>
<context>
    <name>vt2</name>
    <message>
        <location filename="../panels/vt2.cpp" line="177"/>
        <source>MIC1</source>
        <translation>MIC1</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="179"/>
        <source>MIC2</source>
        <translation>MIC2</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="119"/>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="123"/>
        <source>DIRECT</source>
        <translation>DIRECT</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="182"/>
        <source>SPEAKER</source>
        <translation>SPEAKER</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="185"/>
        <source>HEADPHONE</source>
        <translation>HEADPHONE</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="145"/>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="182"/>
        <source>Phone To SP Volume</source>
        <translation>Phone To SP Volume</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="185"/>
        <source>Phone To HP Volume</source>
        <translation>Phone To HP Volume</translation>
    </message>
</context>
</TS>
