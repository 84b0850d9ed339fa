<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <source>KT360 APRS Config</source>
        <translation>TELX5系列配置软件</translation>
    </message>
    <message>
        <source>Callsign</source>
        <translation>呼号</translation>
    </message>
    <message>
        <source>Pass</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Posi+Comment</source>
        <translation>坐标和信息</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态信息</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>服务器</translation>
    </message>
    <message>
        <source>Tx time</source>
        <translation>发送间隔</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>信息过滤</translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>网络地址</translation>
    </message>
    <message>
        <source>Backlight</source>
        <translation>背光时间</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>距离</translation>
    </message>
    <message>
        <source>Tx/Rx</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>DIGI</source>
        <translation>中继功能</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>发射路径</translation>
    </message>
    <message>
        <source>TX vol</source>
        <translation>调制度</translation>
    </message>
    <message>
        <source>Alias</source>
        <translation>转发路径</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>RF RADIO</source>
        <translation>电台设置</translation>
    </message>
    <message>
        <source>WIFI user/password</source>
        <translation>WIFI设置</translation>
    </message>
    <message>
        <source>ssid</source>
        <translation>名字</translation>
    </message>
    <message>
        <source>pass</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>默认数据</translation>
    </message>
    <message>
        <source>Read data</source>
        <translation>读取数据</translation>
    </message>
    <message>
        <source>Write data</source>
        <translation>写入数据</translation>
    </message>
    <message>
        <source>Load file</source>
        <translation>载入数据</translation>
    </message>
    <message>
        <source>Save file</source>
        <translation>保存数据</translation>
    </message>
    <message>
        <source>Open ROM</source>
        <translation>打开升级文件</translation>
    </message>
    <message>
        <source>update</source>
        <translation>开始升级</translation>
    </message>
    <message>
        <source>restart</source>
        <translation>重启</translation>
    </message>
    <message>
        <source>If change setup then please restart </source>
        <translation>如果修改了数据,重启后生效.</translation>
    </message>
</context>
</TS>
