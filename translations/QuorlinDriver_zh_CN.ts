<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
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
        <translation>%1，%2</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/main_window.cpp" line="69"/>
        <source>Setup</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="151"/>
        <source>声卡未连接！</source>
        <translation>声卡未连接！</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="195"/>
        <source>未知设备，请检查连接！</source>
        <translation>未知设备，请检查连接！</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="230"/>
        <source>获取固件版本失败，请检查连接！</source>
        <translation>获取固件版本失败，请检查连接！</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../settings/settings.cpp" line="196"/>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="201"/>
        <source>Buffer Size</source>
        <translation>缓冲区大小</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="204"/>
        <source>%1 samples</source>
        <comment>buffer size</comment>
        <translation>%1 个采样</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="209"/>
        <source>USB Latency Size</source>
        <translation>USB延迟大小</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="212"/>
        <source>%1 ms</source>
        <comment>USB latency</comment>
        <translation>%1 毫秒</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="218"/>
        <source>Samplerate</source>
        <translation>采样率</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="221"/>
        <source>%1 Hz</source>
        <comment>sample rate</comment>
        <translation>%1 赫兹</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="226"/>
        <source>Safe Mode</source>
        <translation>安全模式</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="243"/>
        <source>USB Error</source>
        <translation>USB错误</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="375"/>
        <source>USB Error Count: %1</source>
        <translation>USB错误计数：%1</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <location filename="../app/tray_icon.cpp" line="62"/>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="63"/>
        <source>Setup</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="64"/>
        <source>Main Window</source>
        <translation>主窗口</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="65"/>
        <source>Upgrade Firmware</source>
        <translation>升级固件</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="66"/>
        <source>Refresh Audio Device</source>
        <translation>刷新音频设备</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="67"/>
        <source>Win Sound Pannel</source>
        <translation>系统声音面板</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="105"/>
        <location filename="../app/tray_icon.cpp" line="113"/>
        <source>警告</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="105"/>
        <source>主窗口未设置，请先设置主窗口。</source>
        <translation>主窗口未设置，请先设置主窗口。</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="113"/>
        <source>设置窗口未设置，请先设置设置窗口。</source>
        <translation>设置窗口未设置，请先设置设置窗口。</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="133"/>
        <source>错误</source>
        <translation>错误</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="133"/>
        <source>无法打开声音设置面板，请检查系统设置。</source>
        <translation>无法打开声音设置面板，请检查系统设置。</translation>
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
        <translation>MIC 增益</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="84"/>
        <source>MIC level</source>
        <translation>MIC 电平</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="86"/>
        <source>Gain</source>
        <translation>增益</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="87"/>
        <source>DIRECT</source>
        <translation>直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="88"/>
        <source>MIC DIRECT</source>
        <translation>MIC 直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="95"/>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="96"/>
        <source>Headphone Volume</source>
        <translation>耳机音量</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="96"/>
        <source>Headphone MUTE</source>
        <translation>耳机静音</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="96"/>
        <source>Headphone DIM</source>
        <translation>耳机音量衰减</translation>
    </message>
</context>
<context>
    <name>vt1</name>
    <message>
        <location filename="../panels/vt1.cpp" line="82"/>
        <source>INPUT</source>
        <translation>输入</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="84"/>
        <source>Input Gain</source>
        <translation>输入增益</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="86"/>
        <source>Input level</source>
        <translation>输入电平</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="88"/>
        <source>Gain</source>
        <translation>增益</translation>
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
        <translation>直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="95"/>
        <source>Input INST</source>
        <translation>输入乐器模式</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="96"/>
        <source>Input 20dB</source>
        <translation>输入 20dB 衰减</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="97"/>
        <source>Input 48V</source>
        <translation>输入 48V 幻象电源</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="98"/>
        <source>Input DIRECT</source>
        <translation>输入直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="106"/>
        <source>HEADPHONE</source>
        <translation>耳机</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="106"/>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="107"/>
        <source>Headphone Volume</source>
        <translation>耳机音量</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="107"/>
        <source>Headphone MUTE</source>
        <translation>耳机静音</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="107"/>
        <source>Headphone DIM</source>
        <translation>耳机音量衰减</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="108"/>
        <source>Headphone phone level</source>
        <translation>耳机手机输入电平</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="109"/>
        <source>Phone To HP Volume</source>
        <translation>手机到耳机音量</translation>
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
        <translation>增益</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="116"/>
        <source>%1 Gain</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 增益</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="118"/>
        <source>%1 level</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 电平</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="124"/>
        <source>DIRECT</source>
        <translation>直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="125"/>
        <source>%1 20dB</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 20dB 衰减</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="126"/>
        <source>%1 48V</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 48V 幻象电源</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="127"/>
        <source>%1 DIRECT</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="149"/>
        <source>SPEAKER</source>
        <translation>音箱</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="150"/>
        <source>Speaker Volume</source>
        <translation>音箱音量</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="150"/>
        <source>Speaker MUTE</source>
        <translation>音箱静音</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="150"/>
        <source>Speaker DIM</source>
        <translation>音箱音量衰减</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="160"/>
        <source>HEADPHONE</source>
        <translation>耳机</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="149"/>
        <location filename="../panels/vt2.cpp" line="160"/>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="150"/>
        <source>Speaker phone level</source>
        <translation>音箱手机输入电平</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="151"/>
        <source>Phone To SP Volume</source>
        <translation>手机到音箱音量</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="161"/>
        <source>Headphone Volume</source>
        <translation>耳机音量</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="161"/>
        <source>Headphone MUTE</source>
        <translation>耳机静音</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="161"/>
        <source>Headphone DIM</source>
        <translation>耳机音量衰减</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="162"/>
        <source>Headphone phone level</source>
        <translation>耳机手机输入电平</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="163"/>
        <source>Phone To HP Volume</source>
        <translation>手机到耳机音量</translation>
    </message>
</context>
</TS>
