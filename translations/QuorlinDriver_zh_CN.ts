<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/main_window.cpp" line="90"/>
        <source>声卡未连接！</source>
        <translation>声卡未连接！</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="139"/>
        <source>未知设备，请检查连接！</source>
        <translation>未知设备，请检查连接！</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="159"/>
        <source>获取固件版本失败，请检查连接！</source>
        <translation>获取固件版本失败，请检查连接！</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../settings/settings.cpp" line="152"/>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="157"/>
        <source>Buffer Size</source>
        <translation>缓冲区大小</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="163"/>
        <source>USB Latency Size</source>
        <translation>USB延迟大小</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="170"/>
        <source>Samplerate</source>
        <translation>采样率</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="176"/>
        <source>Safe Mode</source>
        <translation>安全模式</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="193"/>
        <source>USB Error</source>
        <translation>USB错误</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="289"/>
        <source>USB Error Count: %1</source>
        <translation>USB错误计数：%1</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <location filename="../app/tray_icon.cpp" line="63"/>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="64"/>
        <source>Setup</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="65"/>
        <source>Main Window</source>
        <translation>主窗口</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="66"/>
        <source>Upgrade Firmware</source>
        <translation>升级固件</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="67"/>
        <source>Refresh Audio Device</source>
        <translation>刷新音频设备</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="68"/>
        <source>Win Sound Pannel</source>
        <translation>系统声音面板</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="106"/>
        <location filename="../app/tray_icon.cpp" line="114"/>
        <source>警告</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="106"/>
        <source>主窗口未设置，请先设置主窗口。</source>
        <translation>主窗口未设置，请先设置主窗口。</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="114"/>
        <source>设置窗口未设置，请先设置设置窗口。</source>
        <translation>设置窗口未设置，请先设置设置窗口。</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="134"/>
        <source>错误</source>
        <translation>错误</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="134"/>
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
        <location filename="../panels/vr.cpp" line="85"/>
        <source>Gain</source>
        <translation>增益</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="86"/>
        <source>DIRECT</source>
        <translation>直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="100"/>
        <source>Volume</source>
        <translation>音量</translation>
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
        <location filename="../panels/vt1.cpp" line="87"/>
        <source>Gain</source>
        <translation>增益</translation>
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
        <translation>直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="103"/>
        <source>HEADPHONE</source>
        <translation>耳机</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="108"/>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="123"/>
        <source>Phone To HP Volume</source>
        <translation>手机到耳机音量</translation>
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
        <translation>增益</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="123"/>
        <source>DIRECT</source>
        <translation>直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="182"/>
        <source>SPEAKER</source>
        <translation>音箱</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="185"/>
        <source>HEADPHONE</source>
        <translation>耳机</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="145"/>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="182"/>
        <source>Phone To SP Volume</source>
        <translation>手机到音箱音量</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="185"/>
        <source>Phone To HP Volume</source>
        <translation>手机到耳机音量</translation>
    </message>
</context>
</TS>
