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
        <location filename="../app/main_window.cpp" line="70"/>
        <source>Setup</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="169"/>
        <source>声卡未连接！</source>
        <translation>声卡未连接！</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="213"/>
        <source>未知设备，请检查连接！</source>
        <translation>未知设备，请检查连接！</translation>
    </message>
    <message>
        <location filename="../app/main_window.cpp" line="250"/>
        <source>获取固件版本失败，请检查连接！</source>
        <translation>获取固件版本失败，请检查连接！</translation>
    </message>
</context>
<context>
    <name>NameRules</name>
    <message>
        <location filename="../presets/preset_name.cpp" line="63"/>
        <source>Default</source>
        <comment>the built-in preset</comment>
        <translation>默认</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="70"/>
        <source>A preset needs a name.</source>
        <translation>预设需要一个名称。</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="73"/>
        <source>A preset name cannot hold control characters or line breaks.</source>
        <translation>预设名称不能包含控制字符或换行。</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="75"/>
        <source>A preset name cannot hold any of these characters: %1</source>
        <translation>预设名称不能包含以下字符：%1</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="79"/>
        <source>A preset name can be at most %1 characters long.</source>
        <translation>预设名称最多 %1 个字符。</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="83"/>
        <source>A preset name cannot start or end with a space, or end with a dot.</source>
        <translation>预设名称不能以空格开头或结尾，也不能以句点结尾。</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="85"/>
        <source>“%1” names a device on Windows and cannot name a preset.</source>
        <translation>“%1”在 Windows 上是设备名，不能用作预设名称。</translation>
    </message>
    <message>
        <location filename="../presets/preset_name.cpp" line="88"/>
        <source>“%1” is the built-in preset; choose another name.</source>
        <translation>“%1”是内置预设，请换一个名称。</translation>
    </message>
</context>
<context>
    <name>PresetMenu</name>
    <message>
        <location filename="../app/preset_menu.cpp" line="29"/>
        <source>&amp;Presets</source>
        <translation>预设(&amp;P)</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="45"/>
        <source>No unit connected</source>
        <translation>未连接声卡</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="53"/>
        <source>Save current as…</source>
        <translation>将当前设置另存为…</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="54"/>
        <source>Delete…</source>
        <translation>删除…</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="64"/>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="65"/>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="78"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="92"/>
        <source>Presets</source>
        <translation>预设</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="93"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="101"/>
        <location filename="../app/preset_menu.cpp" line="130"/>
        <location filename="../app/preset_menu.cpp" line="140"/>
        <location filename="../app/preset_menu.cpp" line="150"/>
        <location filename="../app/preset_menu.cpp" line="160"/>
        <source>No unit is connected.</source>
        <translation>未连接声卡。</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="105"/>
        <source>Phantom power</source>
        <translation>幻象电源</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="106"/>
        <source>Preset “%1” switches on 48V phantom power: %2.

Phantom power can damage equipment that is not made for it. Switch it on?</source>
        <translation>预设“%1”会打开 48V 幻象电源：%2。

幻象电源可能损坏不适用的设备。要打开吗？</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="119"/>
        <source>Save Preset</source>
        <translation>保存预设</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="119"/>
        <source>Save the current input settings as:</source>
        <translation>将当前输入设置保存为：</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="119"/>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="133"/>
        <source>Replace Preset</source>
        <translation>替换预设</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="134"/>
        <source>There is already a preset “%1”. Replace it with the current settings?</source>
        <translation>预设“%1”已存在。要用当前设置替换它吗？</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="155"/>
        <location filename="../app/preset_menu.cpp" line="156"/>
        <source>Delete Preset</source>
        <translation>删除预设</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="155"/>
        <source>Preset to delete:</source>
        <translation>要删除的预设：</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="155"/>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <location filename="../app/preset_menu.cpp" line="156"/>
        <source>Delete preset “%1”?</source>
        <translation>删除预设“%1”？</translation>
    </message>
</context>
<context>
    <name>PresetStore</name>
    <message>
        <location filename="../presets/preset_store.cpp" line="128"/>
        <location filename="../presets/preset_store.cpp" line="337"/>
        <source>There is no preset “%1” for the %2.</source>
        <translation>%2 没有名为“%1”的预设。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="140"/>
        <source>this is a folder.</source>
        <translation>这是一个文件夹。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="144"/>
        <source>the file cannot be read (%1).</source>
        <translation>无法读取该文件（%1）。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="148"/>
        <source>the file is larger than a preset can be (%1 bytes at most).</source>
        <translation>文件超出预设的最大大小（最多 %1 字节）。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="161"/>
        <source>the file is empty.</source>
        <translation>文件为空。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="165"/>
        <source>the file is not text.</source>
        <translation>文件不是文本。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="167"/>
        <source>the last line is cut short.</source>
        <translation>最后一行不完整，文件被截断。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="190"/>
        <source>line %1 is neither a [section] nor an entry: “%2”.</source>
        <translation>第 %1 行既不是 [节] 也不是条目：“%2”。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="196"/>
        <source>entry %1 appears twice, on lines %2 and %3.</source>
        <translation>条目 %1 出现了两次，在第 %2 行和第 %3 行。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="205"/>
        <source>entry %1 is missing: this is not a preset.</source>
        <translation>缺少条目 %1：这不是预设文件。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="209"/>
        <source>entry %1 (line %2): format “%3” is not one this program reads (%4).</source>
        <translation>条目 %1（第 %2 行）：本程序无法读取格式“%3”（支持 %4）。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="214"/>
        <source>entry %1 (line %2): the preset is for “%3”, not for the %4.</source>
        <translation>条目 %1（第 %2 行）：该预设用于“%3”，不是 %4。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="232"/>
        <source>entry %1 (line %2) is an output control; a preset holds only the inputs.</source>
        <translation>条目 %1（第 %2 行）是输出控件；预设只包含输入。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="235"/>
        <source>entry %1 (line %2) is not a control of the %3.</source>
        <translation>条目 %1（第 %2 行）不是 %3 的控件。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="241"/>
        <source>entry %1 (line %2): “%3” is not a whole number.</source>
        <translation>条目 %1（第 %2 行）：“%3”不是整数。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="248"/>
        <source>entry %1 (line %2): %3 is outside the dial&apos;s range, %4 to %5.</source>
        <translation>条目 %1（第 %2 行）：%3 超出旋钮范围 %4 至 %5。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="258"/>
        <source>entry %1 (line %2): “%3” is not true or false.</source>
        <translation>条目 %1（第 %2 行）：“%3”不是 true 或 false。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="267"/>
        <source>entry %1 is missing.</source>
        <translation>缺少条目 %1。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="311"/>
        <source>%1 could not be written: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="322"/>
        <location filename="../presets/preset_store.cpp" line="365"/>
        <source>There is already a preset “%1”.</source>
        <translation>预设“%1”已存在。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="332"/>
        <source>“%1” is the built-in preset and cannot be deleted.</source>
        <translation>“%1”是内置预设，不能删除。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="340"/>
        <source>%1 could not be deleted: %2</source>
        <translation>无法删除 %1：%2</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="397"/>
        <source>The unit is no longer connected; nothing was changed.</source>
        <translation>声卡已断开，未做任何更改。</translation>
    </message>
    <message>
        <location filename="../presets/preset_store.cpp" line="413"/>
        <source>Preset “%1” was not recalled: it switches on 48V phantom power (%2).</source>
        <translation>未调用预设“%1”：它会打开 48V 幻象电源（%2）。</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../settings/settings.cpp" line="200"/>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="205"/>
        <source>Buffer Size</source>
        <translation>缓冲区大小</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="208"/>
        <source>%1 samples</source>
        <comment>buffer size</comment>
        <translation>%1 个采样</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="213"/>
        <source>USB Latency Size</source>
        <translation>USB延迟大小</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="216"/>
        <source>%1 ms</source>
        <comment>USB latency</comment>
        <translation>%1 毫秒</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="222"/>
        <source>Samplerate</source>
        <translation>采样率</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="225"/>
        <source>%1 Hz</source>
        <comment>sample rate</comment>
        <translation>%1 赫兹</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="230"/>
        <source>Safe Mode</source>
        <translation>安全模式</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="247"/>
        <source>USB Error</source>
        <translation>USB错误</translation>
    </message>
    <message>
        <location filename="../settings/settings.cpp" line="388"/>
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
        <location filename="../app/tray_icon.cpp" line="109"/>
        <location filename="../app/tray_icon.cpp" line="117"/>
        <source>警告</source>
        <translation>警告</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="109"/>
        <source>主窗口未设置，请先设置主窗口。</source>
        <translation>主窗口未设置，请先设置主窗口。</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="117"/>
        <source>设置窗口未设置，请先设置设置窗口。</source>
        <translation>设置窗口未设置，请先设置设置窗口。</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="137"/>
        <source>错误</source>
        <translation>错误</translation>
    </message>
    <message>
        <location filename="../app/tray_icon.cpp" line="137"/>
        <source>无法打开声音设置面板，请检查系统设置。</source>
        <translation>无法打开声音设置面板，请检查系统设置。</translation>
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
        <translation>MIC 增益</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="94"/>
        <source>MIC level</source>
        <translation>MIC 电平</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="96"/>
        <source>Gain</source>
        <translation>增益</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="97"/>
        <source>DIRECT</source>
        <translation>直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="98"/>
        <source>MIC DIRECT</source>
        <translation>MIC 直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="105"/>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="106"/>
        <source>Headphone Volume</source>
        <translation>耳机音量</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="106"/>
        <source>Headphone MUTE</source>
        <translation>耳机静音</translation>
    </message>
    <message>
        <location filename="../panels/vr.cpp" line="106"/>
        <source>Headphone DIM</source>
        <translation>耳机音量衰减</translation>
    </message>
</context>
<context>
    <name>vt1</name>
    <message>
        <location filename="../panels/vt1.cpp" line="92"/>
        <source>INPUT</source>
        <translation>输入</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="94"/>
        <source>Input Gain</source>
        <translation>输入增益</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="96"/>
        <source>Input level</source>
        <translation>输入电平</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="98"/>
        <source>Gain</source>
        <translation>增益</translation>
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
        <translation>直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="105"/>
        <source>Input INST</source>
        <translation>输入乐器模式</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="106"/>
        <source>Input 20dB</source>
        <translation>输入 20dB 衰减</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="107"/>
        <source>Input 48V</source>
        <translation>输入 48V 幻象电源</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="108"/>
        <source>Input DIRECT</source>
        <translation>输入直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="116"/>
        <source>HEADPHONE</source>
        <translation>耳机</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="116"/>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="117"/>
        <source>Headphone Volume</source>
        <translation>耳机音量</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="117"/>
        <source>Headphone MUTE</source>
        <translation>耳机静音</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="117"/>
        <source>Headphone DIM</source>
        <translation>耳机音量衰减</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="118"/>
        <source>Headphone phone level</source>
        <translation>耳机手机输入电平</translation>
    </message>
    <message>
        <location filename="../panels/vt1.cpp" line="119"/>
        <source>Phone To HP Volume</source>
        <translation>手机到耳机音量</translation>
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
        <translation>增益</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="124"/>
        <source>%1 Gain</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 增益</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="126"/>
        <source>%1 level</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 电平</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="132"/>
        <source>DIRECT</source>
        <translation>直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="133"/>
        <source>%1 20dB</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 20dB 衰减</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="134"/>
        <source>%1 48V</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 48V 幻象电源</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="135"/>
        <source>%1 DIRECT</source>
        <comment>MIC1 or MIC2</comment>
        <translation>%1 直接监听</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="164"/>
        <source>SPEAKER</source>
        <translation>音箱</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="165"/>
        <source>Speaker Volume</source>
        <translation>音箱音量</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="165"/>
        <source>Speaker MUTE</source>
        <translation>音箱静音</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="165"/>
        <source>Speaker DIM</source>
        <translation>音箱音量衰减</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="175"/>
        <source>HEADPHONE</source>
        <translation>耳机</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="164"/>
        <location filename="../panels/vt2.cpp" line="175"/>
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="165"/>
        <source>Speaker phone level</source>
        <translation>音箱手机输入电平</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="166"/>
        <source>Phone To SP Volume</source>
        <translation>手机到音箱音量</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="176"/>
        <source>Headphone Volume</source>
        <translation>耳机音量</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="176"/>
        <source>Headphone MUTE</source>
        <translation>耳机静音</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="176"/>
        <source>Headphone DIM</source>
        <translation>耳机音量衰减</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="177"/>
        <source>Headphone phone level</source>
        <translation>耳机手机输入电平</translation>
    </message>
    <message>
        <location filename="../panels/vt2.cpp" line="178"/>
        <source>Phone To HP Volume</source>
        <translation>手机到耳机音量</translation>
    </message>
</context>
</TS>
