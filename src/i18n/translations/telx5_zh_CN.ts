<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CheckMarks</name>
    <message>
        <source>Error: %1</source>
        <translation>错误：%1</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>警告：%1</translation>
    </message>
</context>
<context>
    <name>Checks</name>
    <message>
        <source>No callsign</source>
        <translation>没有呼号</translation>
    </message>
    <message>
        <source>%1 has more than six characters</source>
        <translation>%1 超过六个字符</translation>
    </message>
    <message>
        <source>%1 holds characters other than letters and digits</source>
        <translation>%1 含有字母和数字以外的字符</translation>
    </message>
    <message>
        <source>%1 is not a callsign: it needs letters and a digit</source>
        <translation>%1 不是呼号：呼号需要字母和数字</translation>
    </message>
    <message>
        <source>SSID “%1” is not a number from 0 to 15</source>
        <translation>SSID “%1” 不是 0 到 15 的数字</translation>
    </message>
    <message>
        <source>“%1” is not a passcode: it must be a number</source>
        <translation>“%1” 不是验证码：验证码必须是数字</translation>
    </message>
    <message>
        <source>Pass %1 does not belong to %2; its passcode is %3</source>
        <translation>验证码 %1 不属于 %2；它的验证码是 %3</translation>
    </message>
    <message>
        <source>Empty octet</source>
        <translation>空的地址段</translation>
    </message>
    <message>
        <source>%1 is not a number</source>
        <translation>%1 不是数字</translation>
    </message>
    <message>
        <source>%1 is over 255</source>
        <translation>%1 大于 255</translation>
    </message>
    <message>
        <source>Not a subnet mask: its ones must all come before its zeros</source>
        <translation>不是子网掩码：掩码的 1 必须都在 0 之前</translation>
    </message>
    <message>
        <source>This is the network address of its subnet, not a host&apos;s</source>
        <translation>这是子网的网络地址，不是主机地址</translation>
    </message>
    <message>
        <source>This is the broadcast address of its subnet, not a host&apos;s</source>
        <translation>这是子网的广播地址，不是主机地址</translation>
    </message>
    <message>
        <source>The gateway is outside the subnet of the IP address</source>
        <translation>网关不在 IP 地址的子网内</translation>
    </message>
    <message>
        <source>The latitude must be written DDMM.mm and N or S</source>
        <translation>纬度应写成 DDMM.mm 加 N 或 S</translation>
    </message>
    <message>
        <source>The longitude must be written DDDMM.mm and E or W</source>
        <translation>经度应写成 DDDMM.mm 加 E 或 W</translation>
    </message>
    <message>
        <source>Latitude %1°%2′ is beyond 90°</source>
        <translation>纬度 %1°%2′ 超过 90°</translation>
    </message>
    <message>
        <source>Longitude %1°%2′ is beyond 180°</source>
        <translation>经度 %1°%2′ 超过 180°</translation>
    </message>
    <message>
        <source>Minutes %1 are not below 60</source>
        <translation>分 %1 不小于 60</translation>
    </message>
    <message>
        <source>%1 is not %2 or %3</source>
        <translation>%1 不是 %2 或 %3</translation>
    </message>
    <message>
        <source>Holds no position report</source>
        <translation>没有位置报告</translation>
    </message>
    <message>
        <source>The symbol table is missing</source>
        <translation>缺少图标表</translation>
    </message>
    <message>
        <source>Symbol table %1 is not /, \ or an overlay letter or digit</source>
        <translation>图标表 %1 不是 /、\ 或叠加字母、数字</translation>
    </message>
    <message>
        <source>The symbol code is missing</source>
        <translation>缺少图标代码</translation>
    </message>
    <message>
        <source>Symbol code %1 is not a printable ASCII character</source>
        <translation>图标代码 %1 不是可打印的 ASCII 字符</translation>
    </message>
    <message>
        <source>PHG must be followed by four digits, the last 0 to 8</source>
        <translation>PHG 后面应是四位数字，最后一位为 0 到 8</translation>
    </message>
    <message>
        <source>north-east</source>
        <translation>东北</translation>
    </message>
    <message>
        <source>east</source>
        <translation>东</translation>
    </message>
    <message>
        <source>south-east</source>
        <translation>东南</translation>
    </message>
    <message>
        <source>south</source>
        <translation>南</translation>
    </message>
    <message>
        <source>south-west</source>
        <translation>西南</translation>
    </message>
    <message>
        <source>west</source>
        <translation>西</translation>
    </message>
    <message>
        <source>north-west</source>
        <translation>西北</translation>
    </message>
    <message>
        <source>north</source>
        <translation>北</translation>
    </message>
    <message>
        <source>omni</source>
        <translation>全向</translation>
    </message>
    <message>
        <source>%1°%2′ %3</source>
        <translation>%1°%2′ %3</translation>
    </message>
    <message>
        <source>“%1” is not a whole number</source>
        <translation>“%1” 不是整数</translation>
    </message>
    <message>
        <source>An interval of zero</source>
        <translation>间隔为零</translation>
    </message>
    <message>
        <source>%1 does not have the form %2</source>
        <translation>%1 不符合格式 %2</translation>
    </message>
    <message>
        <source>%1 is not an APRS-IS filter (r/, p/, b/, o/, t/, s/, d/, a/, e/, g/, u/, q/, m/, f/)</source>
        <translation>%1 不是 APRS-IS 过滤器（r/、p/、b/、o/、t/、s/、d/、a/、e/、g/、u/、q/、m/、f/）</translation>
    </message>
    <message>
        <source>“%1” is not a frequency in MHz</source>
        <translation>“%1” 不是以 MHz 为单位的频率</translation>
    </message>
    <message>
        <source>%1 MHz is outside the 2 m band (144.000 to 148.000 MHz)</source>
        <translation>%1 MHz 不在 2 米波段内（144.000 到 148.000 MHz）</translation>
    </message>
    <message>
        <source>No network name</source>
        <translation>没有网络名称</translation>
    </message>
    <message>
        <source>%1 bytes: a network name has at most 32</source>
        <translation>%1 字节：网络名称最多 32 字节</translation>
    </message>
    <message>
        <source>%1 characters: a Wi-Fi password has at least 8</source>
        <translation>%1 个字符：Wi-Fi 密码至少 8 个字符</translation>
    </message>
    <message>
        <source>%1 characters: a Wi-Fi password has at most 63</source>
        <translation>%1 个字符：Wi-Fi 密码最多 63 个字符</translation>
    </message>
    <message>
        <source>%1, %2, symbol %3%4</source>
        <translation>%1，%2，图标 %3%4</translation>
    </message>
    <message>
        <source>; PHG: %1 W, %2 ft, %3 dBi, %4</source>
        <translation>；PHG：%1 W，%2 英尺，%3 dBi，%4</translation>
    </message>
    <message>
        <source>Holds the control character %1, which would change the command the device receives</source>
        <translation>含有控制字符 %1，会改变设备收到的命令</translation>
    </message>
    <message>
        <source>1 character cannot be sent in this language setting and would become &apos;?&apos;</source>
        <translation>有 1 个字符在此语言设置下无法发送，会变成“?”</translation>
    </message>
    <message>
        <source>%1 characters cannot be sent in this language setting and would become &apos;?&apos;</source>
        <translation>有 %1 个字符在此语言设置下无法发送，会变成“?”</translation>
    </message>
    <message>
        <source>Holds “#”, which ends the device&apos;s command: the device may cut the value there</source>
        <translation>含有“#”，它是设备命令的结束符：设备可能在此处截断该值</translation>
    </message>
    <message>
        <source>Holds “%1”, which separates the command&apos;s two values: the device may cut the value there</source>
        <translation>含有“%1”，它分隔命令的两个值：设备可能在此处截断该值</translation>
    </message>
    <message>
        <source>%1 characters: its box takes %2</source>
        <translation>%1 个字符：输入框只容纳 %2 个</translation>
    </message>
    <message>
        <source>Code %1 is none this program knows: it is kept and written back as it is</source>
        <translation>代码 %1 不是本程序认识的代码：按原样保留并写回</translation>
    </message>
    <message>
        <source>“%1” is not one of the list&apos;s entries: it would be written as code %2</source>
        <translation>“%1” 不是列表中的选项：会被写为代码 %2</translation>
    </message>
    <message>
        <source>“%1” is not one of the list&apos;s entries; it is sent as it stands</source>
        <translation>“%1” 不是列表中的选项；按原样发送</translation>
    </message>
    <message>
        <source>No password: the device joins the network as an open one</source>
        <translation>没有密码：设备会以开放网络方式连接</translation>
    </message>
    <message>
        <source>%1: APRS-IS expects upper case; the device sends it as typed</source>
        <translation>%1：APRS-IS 要求大写；设备按输入原样发送</translation>
    </message>
    <message>
        <source>Receive-only: the APRS-IS server will not gate this device&apos;s packets</source>
        <translation>仅接收：APRS-IS 服务器不会转发本设备的数据包</translation>
    </message>
    <message>
        <source>Pass %1 is beyond 32767: a passcode is 0 to 32767, or -1 to receive only</source>
        <translation>Pass %1 超过 32767：验证码为 0 到 32767，仅接收时为 -1</translation>
    </message>
    <message>
        <source>No device can use this address (0.x, loopback 127.x, multicast or reserved 224 and up)</source>
        <translation>设备不能使用这个地址（0.x、环回 127.x、组播或 224 及以上的保留地址）</translation>
    </message>
    <message>
        <source>Mask 0.0.0.0 puts every address on the local network: the gateway is never used</source>
        <translation>掩码 0.0.0.0 把所有地址都当作本地网络：网关永远用不上</translation>
    </message>
    <message>
        <source>A compressed position has 13 characters after the data type (table, 4 of latitude, 4 of longitude, symbol, course and speed, type); this one has %1</source>
        <translation>压缩位置在数据类型之后有 13 个字符（符号表、4 个纬度、4 个经度、符号、航向和速度、类型）；这里只有 %1 个</translation>
    </message>
    <message>
        <source>Symbol table %1 is not /, \, an overlay letter or a to j</source>
        <translation>符号表 %1 不是 /、\、叠加字母或 a 到 j</translation>
    </message>
    <message>
        <source>A compressed position&apos;s latitude and longitude are characters from ! to {</source>
        <translation>压缩位置的纬度和经度是从 ! 到 { 的字符</translation>
    </message>
    <message>
        <source>Course %1 is beyond 360°</source>
        <translation>航向 %1 超过 360°</translation>
    </message>
    <message>
        <source>A position report begins with “!”, “=”, “/” or “@”, not “%1”</source>
        <translation>位置报告以“!”、“=”、“/”或“@”开头，而不是“%1”</translation>
    </message>
    <message>
        <source>After “/” or “@” comes a timestamp: DDHHMMz, DDHHMM/ or HHMMSSh</source>
        <translation>“/”或“@”之后是时间戳：DDHHMMz、DDHHMM/ 或 HHMMSSh</translation>
    </message>
    <message>
        <source>The longitude&apos;s blanks must be those of the latitude, or none</source>
        <translation>经度的空格必须与纬度相同，或者没有</translation>
    </message>
    <message>
        <source>The timestamp %1 goes stale: the device sends this text as it stands at every beacon</source>
        <translation>时间戳 %1 会过时：设备每次信标都原样发送这段文字</translation>
    </message>
    <message>
        <source>%1 seconds: a beacon more often than once a minute floods the shared APRS channel</source>
        <translation>%1 秒：每分钟多于一次的信标会挤占共用的 APRS 频道</translation>
    </message>
    <message>
        <source>No server: the device logs in to none</source>
        <translation>没有服务器：设备不会登录任何服务器</translation>
    </message>
    <message>
        <source>“%1” is neither a host name nor an IPv4 address</source>
        <translation>“%1” 既不是主机名也不是 IPv4 地址</translation>
    </message>
    <message>
        <source>; to within 0.1′</source>
        <translation>；精确到 0.1′</translation>
    </message>
    <message>
        <source>; to within 1′</source>
        <translation>；精确到 1′</translation>
    </message>
    <message>
        <source>; to within 10′</source>
        <translation>；精确到 10′</translation>
    </message>
    <message>
        <source>; to within 1°</source>
        <translation>；精确到 1°</translation>
    </message>
</context>
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
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>Mask</translation>
    </message>
    <message>
        <source>Gate</source>
        <translation>Gate</translation>
    </message>
    <message>
        <source>DNS</source>
        <translation>DNS</translation>
    </message>
    <message>
        <source>Vers</source>
        <translation>Vers</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
</context>
<context>
    <name>QtDialogs</name>
    <message>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
</context>
<context>
    <name>SameInBothLanguages</name>
    <message>
        <source>Save</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>Save</translation>
    </message>
    <message>
        <source>setup file(*.ini)</source>
        <translation>setup file(*.ini)</translation>
    </message>
    <message>
        <source>Please choose fireware.</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>Please choose fireware.</translation>
    </message>
    <message>
        <source>ini文件(*.ini)</source>
        <translation>ini文件(*.ini)</translation>
    </message>
    <message>
        <source>Port is open or no</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>Port is open or no</translation>
    </message>
    <message>
        <source>Apply</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Port is open</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>Port is open</translation>
    </message>
    <message>
        <source>Write</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>Write</translation>
    </message>
    <message>
        <source>WIFI Writing.....</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>WIFI Writing.....</translation>
    </message>
    <message>
        <source>WIFI Write complete</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>WIFI Write complete</translation>
    </message>
    <message>
        <source>WIFI reset...</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>WIFI reset...</translation>
    </message>
    <message>
        <source>WIFI Write Fail</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>WIFI Write Fail</translation>
    </message>
    <message>
        <source>restart</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>restart</translation>
    </message>
    <message>
        <source>update...</source>
        <translation>update...</translation>
    </message>
    <message>
        <source>update</source>
        <translation>update</translation>
    </message>
    <message>
        <source>Please choose fireware</source>
        <translation>Please choose fireware</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Bin文件(*.bin)</source>
        <translation>Bin文件(*.bin)</translation>
    </message>
    <message>
        <source>An update is running; choose the firmware file when it has ended.</source>
        <translation>An update is running; choose the firmware file when it has ended.</translation>
    </message>
    <message>
        <source>Cannot read the firmware file </source>
        <translation>Cannot read the firmware file </translation>
    </message>
    <message>
        <source>The firmware file %1 is too large: the boot loader takes at most %2 bytes.</source>
        <translation>The firmware file %1 is too large: the boot loader takes at most %2 bytes.</translation>
    </message>
    <message>
        <source>文件：</source>
        <translation>文件：</translation>
    </message>
    <message>
        <source>Please wait auto update.<byte value="xd"/>
</source>
        <translation>Please wait auto update.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source><byte value="xd"/>
reset eeram OK<byte value="xd"/>
</source>
        <translation><byte value="xd"/>
reset eeram OK<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>Wait for reset eeram </source>
        <translation>Wait for reset eeram </translation>
    </message>
    <message>
        <source>Reset eeram fail,Please try again.<byte value="xd"/>
</source>
        <translation>Reset eeram fail,Please try again.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>Wait for update<byte value="xd"/>
</source>
        <translation>Wait for update<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>Connect fail, Please try again.</source>
        <translation>Connect fail, Please try again.</translation>
    </message>
    <message>
        <source>updating，don&apos;t remove power</source>
        <translation>updating，don&apos;t remove power</translation>
    </message>
    <message>
        <source>Port is use or no</source>
        <translation>Port is use or no</translation>
    </message>
    <message>
        <source> update step:</source>
        <translation> update step:</translation>
    </message>
    <message>
        <source>update complete</source>
        <translation>update complete</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>当前系统为：英文</source>
        <translation>当前系统为：英文</translation>
    </message>
    <message>
        <source>当前系统为：中文简体</source>
        <translation>当前系统为：中文简体</translation>
    </message>
    <message>
        <source>write failed: could not keep a backup; --no-backup writes without one</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>write failed: could not keep a backup; --no-backup writes without one</translation>
    </message>
    <message>
        <source>backups failed: the list could not be written to standard output: %1</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>backups failed: the list could not be written to standard output: %1</translation>
    </message>
    <message>
        <source>backups ok: %1 backups in %2</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>backups ok: %1 backups in %2</translation>
    </message>
    <message>
        <source>backups ok: %1 backup in %2</source>
        <extracomment>Stays English in both languages.</extracomment>
        <translation>backups ok: %1 backup in %2</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>Save failed: </source>
        <translation>保存失败：</translation>
    </message>
    <message>
        <source>Load failed: </source>
        <translation>载入失败：</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>这不是一个普通文件。</translation>
    </message>
    <message>
        <source>Saved: </source>
        <translation>已保存：</translation>
    </message>
    <message>
        <source>The file has %1 bytes; a settings file has at most 1 MiB.</source>
        <translation>文件有%1字节，不是设置文件（最多1 MiB）</translation>
    </message>
    <message>
        <source>Stopped at line %1: not a valid settings line</source>
        <translation>在第%1行停止：不是有效的设置行</translation>
    </message>
    <message>
        <source>No settings found in this file</source>
        <translation>文件中没有找到设置</translation>
    </message>
    <message>
        <source>read data</source>
        <translation>读取数据</translation>
    </message>
    <message>
        <source>reading</source>
        <translation>读取中</translation>
    </message>
    <message>
        <source>Connection is successful</source>
        <translation>连接就绪</translation>
    </message>
    <message>
        <source>read ok</source>
        <translation>读取成功</translation>
    </message>
    <message>
        <source>Port is open</source>
        <translation>端口已打开</translation>
    </message>
    <message>
        <source>Port %1 was disconnected</source>
        <translation>端口 %1 已断开</translation>
    </message>
    <message>
        <source>Writing</source>
        <translation>写入中</translation>
    </message>
    <message>
        <source>Writing......</source>
        <translation>写入中......</translation>
    </message>
    <message>
        <source>Callsign longer than 6 characters: not written</source>
        <translation>呼号超过6个字符,未写入</translation>
    </message>
    <message>
        <source>Write complete</source>
        <translation>写入完成</translation>
    </message>
    <message>
        <source>Write fail，Please try again.</source>
        <translation>写入失败.请重试一遍</translation>
    </message>
    <message>
        <source>Write data</source>
        <translation>写入数据</translation>
    </message>
    <message>
        <source>The owner changed: %1 belonged to %2 and now belongs to %3</source>
        <translation>所有者已更改：%1 原属于 %2，现属于 %3</translation>
    </message>
    <message>
        <source>%1: every name for this backup is taken</source>
        <translation>%1：此备份的所有文件名均已被占用</translation>
    </message>
    <message>
        <source>Backup kept: %1</source>
        <translation>已保留备份：%1</translation>
    </message>
    <message>
        <source>Could not keep a backup: %1</source>
        <translation>无法保留备份：%1</translation>
    </message>
    <message>
        <source>Could not keep a backup of the device&apos;s settings:<byte value="xd"/>
%1<byte value="xd"/>
<byte value="xd"/>
Go on without a backup?</source>
        <translation>无法保留设备设置的备份：<byte value="xd"/>
%1<byte value="xd"/>
<byte value="xd"/>
不保留备份，继续吗？</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>备份</translation>
    </message>
    <message>
        <source>Could not keep a backup: %1; going on without one</source>
        <translation>无法保留备份：%1；不保留备份继续</translation>
    </message>
    <message>
        <source>Could not keep a backup: %1; nothing was written</source>
        <translation>无法保留备份：%1；未写入任何内容</translation>
    </message>
    <message>
        <source>nothing was changed on the device</source>
        <translation>设备上没有任何改动</translation>
    </message>
    <message>
        <source>the device may hold part of the new settings</source>
        <translation>设备可能只保存了部分新设置</translation>
    </message>
    <message>
        <source>the device confirmed the new settings (freq save); they were not read back</source>
        <translation>设备已确认新设置（freq save），但设置未读回</translation>
    </message>
    <message>
        <source>the device holds the new settings</source>
        <translation>设备已保存新设置</translation>
    </message>
    <message>
        <source>the device may have taken the new Wi-Fi credentials</source>
        <translation>设备可能已接受新的 Wi-Fi 设置</translation>
    </message>
    <message>
        <source>the device took the Wi-Fi credentials and restarts</source>
        <translation>设备已接受 Wi-Fi 设置，正在重启</translation>
    </message>
    <message>
        <source>the device may be restarting</source>
        <translation>设备可能正在重启</translation>
    </message>
    <message>
        <source>the device may hold its factory settings (AT+RESET# went out)</source>
        <translation>设备可能已恢复出厂设置（AT+RESET# 已发出）</translation>
    </message>
    <message>
        <source>the device waits in its boot loader with part of the new firmware</source>
        <translation>设备停留在引导程序中，只收到部分新固件</translation>
    </message>
    <message>
        <source>the device runs the new firmware with its factory settings</source>
        <translation>设备运行新固件，使用出厂设置</translation>
    </message>
    <message>
        <source>the device runs the new firmware with part of its settings written back</source>
        <translation>设备运行新固件，只写回了部分设置</translation>
    </message>
    <message>
        <source>the device runs the new firmware with its settings written back, but on STATIC IP for now</source>
        <translation>设备运行新固件，设置已写回，但暂时使用 STATIC IP</translation>
    </message>
    <message>
        <source>the device runs the new firmware with its settings written back; they were not read back</source>
        <translation>设备运行新固件，设置已写回；设置未读回</translation>
    </message>
    <message>
        <source>the device holds its settings as before</source>
        <translation>设备保存的设置与之前相同</translation>
    </message>
    <message>
        <source>another command took the port</source>
        <translation>另一个命令占用了端口</translation>
    </message>
    <message>
        <source>the port was disconnected</source>
        <translation>端口已断开</translation>
    </message>
    <message>
        <source>the port could not be opened</source>
        <translation>无法打开端口</translation>
    </message>
    <message>
        <source>the device did not send READ END</source>
        <translation>设备没有发送 READ END</translation>
    </message>
    <message>
        <source>the device sent %1 of %2 settings; missing: %3</source>
        <translation>设备发送了 %2 项设置中的 %1 项；缺少：%3</translation>
    </message>
    <message>
        <source>Reading the device&apos;s settings for a backup</source>
        <translation>正在读取设备设置以备份</translation>
    </message>
    <message>
        <source>The device&apos;s settings could not be read for a backup. Go on without one?</source>
        <translation>无法读取设备设置进行备份。不备份继续吗？</translation>
    </message>
    <message>
        <source>Nothing was sent to the device</source>
        <translation>未向设备发送任何内容</translation>
    </message>
    <message>
        <source>could not keep a backup</source>
        <translation>无法保留备份</translation>
    </message>
    <message>
        <source>the device did not answer the setup line</source>
        <translation>设备没有应答设置命令</translation>
    </message>
    <message>
        <source>the device did not confirm (no freq save)</source>
        <translation>设备没有确认（没有 freq save）</translation>
    </message>
    <message>
        <source>the read-back did not complete</source>
        <translation>读回未完成</translation>
    </message>
    <message>
        <source>settings did not take</source>
        <translation>设置未生效</translation>
    </message>
    <message>
        <source>REBOOT# could not be sent</source>
        <translation>无法发送 REBOOT#</translation>
    </message>
    <message>
        <source>the device did not confirm (no WIFI Write success)</source>
        <translation>设备没有确认（没有 WIFI Write success）</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>The settings are those of the backup %1: no new backup kept</source>
        <translation>设置与备份 %1 相同：未保留新的备份</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>%1: %2 character cannot be sent in this language setting and becomes &apos;?&apos;</source>
        <translation>%1：%2个字符在当前语言设置下无法发送，将变为“?”</translation>
    </message>
    <message>
        <source>%1: %2 characters cannot be sent in this language setting and become &apos;?&apos;</source>
        <translation>%1：%2个字符在当前语言设置下无法发送，将变为“?”</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
    <message>
        <source>Callsign</source>
        <translation>呼号</translation>
    </message>
    <message>
        <source>SSID</source>
        <translation>SSID</translation>
    </message>
    <message>
        <source>Pass</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>网络地址</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>坐标</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>信息</translation>
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
        <source>Backlight</source>
        <translation>背光时间</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>距离</translation>
    </message>
    <message>
        <source>DIGI</source>
        <translation>中继功能</translation>
    </message>
    <message>
        <source>TX vol</source>
        <translation>调制度</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>发射路径</translation>
    </message>
    <message>
        <source>Alias</source>
        <translation>转发路径</translation>
    </message>
    <message>
        <source>Tx/Rx</source>
        <translation>频率</translation>
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
        <source>Vers</source>
        <translation>Vers</translation>
    </message>
</context>
<context>
    <name>UpdateJob</name>
    <message>
        <source>the callsign %1 is longer than 6 characters</source>
        <translation>呼号 %1 超过6个字符</translation>
    </message>
    <message>
        <source>no firmware file is chosen</source>
        <translation>没有选择固件文件</translation>
    </message>
    <message>
        <source>an update on %1 stopped after AT+RESET# (%2) and has to be finished first</source>
        <translation>%1 上的升级在 AT+RESET# 之后中断（%2），必须先完成这次升级</translation>
    </message>
    <message>
        <source>Reading the settings to keep them across the update: restart the device if it does not answer</source>
        <translation>读取设置以便升级后恢复：设备无应答时请重启设备</translation>
    </message>
    <message>
        <source>could not keep a backup</source>
        <translation>无法保留备份</translation>
    </message>
    <message>
        <source>The settings could not be read first, and the update erases them. Update anyway and lose them?</source>
        <translation>无法先读取设置，而升级会清除设置。仍要升级并丢失设置吗？</translation>
    </message>
    <message>
        <source>the settings could not be read first (%1), and the update would erase them</source>
        <translation>无法先读取设置（%1），而升级会清除设置</translation>
    </message>
    <message>
        <source>The settings could not be read (%1): the update erases them, and no backup holds them</source>
        <translation>无法读取设置（%1）：升级会清除设置，也没有保存这些设置的备份</translation>
    </message>
    <message>
        <source>the settings read cannot be written back as they are: %1</source>
        <translation>读取的设置无法按原样写回：%1</translation>
    </message>
    <message>
        <source>The update erases the device&apos;s settings; no backup holds them</source>
        <translation>升级会清除设备的设置；没有保存这些设置的备份</translation>
    </message>
    <message>
        <source>The update erases the device&apos;s settings; %1 holds them</source>
        <translation>升级会清除设备的设置；设置已备份在 %1</translation>
    </message>
    <message>
        <source>the update&apos;s journal cannot be written: %1</source>
        <translation>无法写入升级日志：%1</translation>
    </message>
    <message>
        <source>The boot loader did not answer; writing the settings back to the firmware: restart the device if it does not answer</source>
        <translation>引导程序无应答；正在把设置写回原固件：设备无应答时请重启设备</translation>
    </message>
    <message>
        <source>Writing the settings back: restart the device if it does not answer</source>
        <translation>正在写回设置：设备无应答时请重启设备</translation>
    </message>
    <message>
        <source>the new firmware did not answer the setup line</source>
        <translation>新固件没有应答设置命令</translation>
    </message>
    <message>
        <source>the device did not confirm the settings</source>
        <translation>设备没有确认设置</translation>
    </message>
    <message>
        <source>the read-back did not complete</source>
        <translation>读回未完成</translation>
    </message>
    <message>
        <source>settings differ</source>
        <translation>设置不一致</translation>
    </message>
    <message>
        <source>no update on %1 stopped after AT+RESET#</source>
        <translation>%1 上没有在 AT+RESET# 之后中断的升级</translation>
    </message>
    <message>
        <source>the image came through a pipe: give it again</source>
        <translation>固件映像是通过管道传入的：请重新提供</translation>
    </message>
    <message>
        <source>the image %1 cannot be read: %2</source>
        <translation>无法读取固件映像 %1：%2</translation>
    </message>
    <message>
        <source>no firmware image</source>
        <translation>没有固件映像</translation>
    </message>
    <message>
        <source>%1 is not the image the update was sending (its SHA-256 differs)</source>
        <translation>%1 不是升级时发送的固件映像（SHA-256 不同）</translation>
    </message>
    <message>
        <source>the backup %1 cannot be read as a whole settings file</source>
        <translation>无法把备份 %1 读取为完整的设置文件</translation>
    </message>
    <message>
        <source>the device did not answer the setup line</source>
        <translation>设备没有应答设置命令</translation>
    </message>
    <message>
        <source>the journal does not say how much of block %1 left the port</source>
        <translation>升级日志没有记录第%1块已从端口发出多少</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>the backup %1 cannot be written back as it is: %2</source>
        <translation>备份 %1 无法按原样写回：%2</translation>
    </message>
</context>
<context>
    <name>telx5::BackupsDialog</name>
    <message>
        <source>&amp;Load into the window</source>
        <translation>载入到窗口(&amp;L)</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>备份</translation>
    </message>
    <message>
        <source>No backups in %1 yet</source>
        <translation>%1 中还没有备份</translation>
    </message>
    <message>
        <source>Backups in %1, newest first</source>
        <translation>%1 中的备份，最新的在前</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Callsign</source>
        <translation>呼号</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>原因</translation>
    </message>
    <message>
        <source>after a read</source>
        <translation>读取后</translation>
    </message>
    <message>
        <source>before a write</source>
        <translation>写入前</translation>
    </message>
    <message>
        <source>before an update</source>
        <translation>升级前</translation>
    </message>
    <message>
        <source>&amp;Open folder</source>
        <translation>打开文件夹(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>No program could open the folder. The backups are in:
%1</source>
        <translation>没有程序能打开这个文件夹。备份在：
%1</translation>
    </message>
    <message>
        <source>&amp;Copy the path</source>
        <translation>复制路径(&amp;C)</translation>
    </message>
    <message>
        <source>Co&amp;mpare with the device</source>
        <translation>与设备比较(&amp;M)</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>变化</translation>
    </message>
    <message>
        <source>%1: “%2” → “%3”</source>
        <translation>%1：“%2” → “%3”</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>无法读取</translation>
    </message>
    <message>
        <source>first backup</source>
        <translation>第一个备份</translation>
    </message>
    <message>
        <source>no change</source>
        <translation>没有变化</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
</context>
<context>
    <name>telx5::CompareDialog</name>
    <message>
        <source>Compare with file</source>
        <translation>与文件比较</translation>
    </message>
    <message>
        <source>The device holds the settings of %1</source>
        <translation>设备的设置与 %1 相同</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Differs</source>
        <translation>不同</translation>
    </message>
    <message>
        <source>&amp;Load the file into the window</source>
        <translation>将文件载入窗口(&amp;L)</translation>
    </message>
    <message>
        <source>Settings in which the device and %1 differ: %2</source>
        <translation>设备与 %1 不同的设置：%2</translation>
    </message>
    <message>
        <source>Differs; a write of the file leaves it as it is, as the file sets DHCP</source>
        <translation>不同；文件设为 DHCP，写入文件时不会改变此项</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
</context>
<context>
    <name>telx5::FirmwareUpdate</name>
    <message>
        <source>updating，don&apos;t remove power</source>
        <translation>正在升级，请勿断电</translation>
    </message>
    <message>
        <source>Update fail, no answer from the boot loader within 30 s of the header</source>
        <translation>升级失败，发送文件头后30秒内引导程序无应答</translation>
    </message>
    <message>
        <source>Update fail, no answer from the boot loader within 10 s of a block</source>
        <translation>升级失败，发送数据块后10秒内引导程序无应答</translation>
    </message>
    <message>
        <source>Update fail, the boot loader asked for block %2 again %1 times</source>
        <translation>升级失败，引导程序连续%1次要求重发第%2块</translation>
    </message>
    <message>
        <source>update complete</source>
        <translation>升级完成</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>%1 % — %2 left</source>
        <translation>%1 % — 剩余 %2</translation>
    </message>
</context>
<context>
    <name>telx5::MainWindow</name>
    <message>
        <source>The device did not send: %1</source>
        <translation>设备未发送：%1</translation>
    </message>
    <message>
        <source>The device did not send: %1; the window keeps its values for them</source>
        <translation>设备未发送：%1；窗口保留这些设置原有的值</translation>
    </message>
    <message>
        <source>The read was cancelled: the window&apos;s settings are unchanged</source>
        <translation>读取已取消：窗口中的设置未改变</translation>
    </message>
    <message>
        <source>The read did not complete: the window&apos;s settings are unchanged</source>
        <translation>读取未完成：窗口中的设置未改变</translation>
    </message>
    <message>
        <source>Nothing was sent: the window holds no settings yet. Read the device, load a file or press Default first.</source>
        <translation>未发送任何数据：窗口中还没有设置。请先读取设备、载入文件或按“默认数据”。</translation>
    </message>
    <message>
        <source>The Wi-Fi name is empty: the device will not know which network to join.</source>
        <translation>WIFI名字为空：设备将不知道要加入哪个网络。</translation>
    </message>
    <message>
        <source>The password is empty: the device will join an open network.</source>
        <translation>密码为空：设备将加入一个开放（无密码）的网络。</translation>
    </message>
    <message>
        <source>Send them to the device?</source>
        <translation>仍要发送给设备吗？</translation>
    </message>
    <message>
        <source>The read-back did not complete: the settings are not verified</source>
        <translation>读回未完成：设置未经核对</translation>
    </message>
    <message>
        <source>Verified: every setting reads back as written</source>
        <translation>已核对：每项设置读回与写入一致</translation>
    </message>
    <message>
        <source>%1 did not take: written &quot;%2&quot;, read back &quot;%3&quot;</source>
        <translation>%1未生效：写入“%2”，读回“%3”</translation>
    </message>
    <message>
        <source>Settings that did not take: %1</source>
        <translation>未生效的设置：%1</translation>
    </message>
    <message>
        <source>The firmware update is running: closing now leaves the device in its boot loader. Close anyway?</source>
        <translation>固件升级正在进行：现在关闭会使设备停留在引导程序中。仍要关闭吗？</translation>
    </message>
    <message>
        <source>A write is running: closing now may leave the device with part of the new settings. Close anyway?</source>
        <translation>正在写入：现在关闭可能使设备只保存了部分新设置。仍要关闭吗？</translation>
    </message>
    <message>
        <source>update complete; settings restored and verified; apply the Wi-Fi credentials again</source>
        <translation>升级完成；设置已恢复并核对；请重新应用WIFI设置</translation>
    </message>
    <message>
        <source>&amp;Backups…</source>
        <translation>备份(&amp;B)…</translation>
    </message>
    <message>
        <source>Co&amp;mpare with file…</source>
        <translation>与文件比较(&amp;M)…</translation>
    </message>
    <message>
        <source>Reading the device&apos;s settings to compare them with %1: restart the device if it does not answer</source>
        <translation>正在读取设备的设置以与 %1 比较：如果设备没有应答，请重启设备</translation>
    </message>
    <message>
        <source>The device did not send %1: nothing was compared</source>
        <translation>设备没有发送 %1：未作比较</translation>
    </message>
    <message>
        <source>The device cannot take these values as meant:</source>
        <translation>设备无法按原意接受这些值：</translation>
    </message>
    <message>
        <source>Write anyway?</source>
        <translation>仍然写入？</translation>
    </message>
    <message>
        <source>&amp;Set the callsign&apos;s passcode</source>
        <translation>填入呼号的验证码(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Load file…</source>
        <translation>载入文件(&amp;L)…</translation>
    </message>
    <message>
        <source>&amp;Save file…</source>
        <translation>保存文件(&amp;S)…</translation>
    </message>
    <message>
        <source>&amp;Recent files</source>
        <translation>最近的文件(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>退出(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Device</source>
        <translation>设备(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Read data</source>
        <translation>读取数据(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Write data</source>
        <translation>写入数据(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Apply Wi-Fi</source>
        <translation>应用 Wi-Fi(&amp;A)</translation>
    </message>
    <message>
        <source>Re&amp;start</source>
        <translation>重启(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Open firmware file…</source>
        <translation>打开固件文件(&amp;O)…</translation>
    </message>
    <message>
        <source>&amp;Update firmware…</source>
        <translation>升级固件(&amp;U)…</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>手册(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;About telx5-config</source>
        <translation>关于 telx5-config(&amp;A)</translation>
    </message>
    <message>
        <source>No files yet</source>
        <translation>还没有文件</translation>
    </message>
    <message>
        <source>The manual is not installed: %1 is missing. Where the program is installed from its package, &quot;man telx5-config&quot; in a terminal shows it too.</source>
        <translation>手册没有安装：缺少 %1。程序从软件包安装时，也可以在终端中用 &quot;man telx5-config&quot; 查看。</translation>
    </message>
    <message>
        <source>The desktop has no program to show %1: open it in a text editor.</source>
        <translation>桌面没有可以显示 %1 的程序：请用文本编辑器打开它。</translation>
    </message>
    <message>
        <source>telx5-config %1<byte value="xd"/>
Configures TELX5 APRS devices over a serial line.<byte value="xd"/>
<byte value="xd"/>
Qt %2 (built against Qt %3)<byte value="xd"/>
Built with %4, %5 build, %6</source>
        <translation>telx5-config %1<byte value="xd"/>
通过串口配置 TELX5 系列 APRS 设备。<byte value="xd"/>
<byte value="xd"/>
Qt %2（编译时使用 Qt %3）<byte value="xd"/>
编译器 %4，%5 构建，%6</translation>
    </message>
    <message>
        <source>About telx5-config</source>
        <translation>关于 telx5-config</translation>
    </message>
    <message>
        <source>No backup of its settings was kept.</source>
        <translation>设备的设置没有备份。</translation>
    </message>
    <message>
        <source>Its settings before the %1 are in %2: load them with File &gt; Backups… and press Write data.</source>
        <translation>设备%1前的设置在 %2 中：请用“文件 &gt; 备份…”载入，然后按“写入数据”。</translation>
    </message>
    <message>
        <source>Nothing can finish this update: power the device off and on, then update again.</source>
        <translation>无法完成这次升级：请给设备断电再上电，然后重新升级。</translation>
    </message>
    <message>
        <source>Device &gt; Finish the interrupted update carries the update on.</source>
        <translation>“设备 &gt; 完成中断的升级”可以继续这次升级。</translation>
    </message>
    <message>
        <source>Its settings before the %1 are in %2: Device &gt; Finish the interrupted update carries the update on and writes them back.</source>
        <translation>设备%1前的设置在 %2 中：“设备 &gt; 完成中断的升级”会继续这次升级并把设置写回。</translation>
    </message>
    <message>
        <source>An update on %1 stopped after it erased the settings: Device &gt; Finish the interrupted update carries it on</source>
        <translation>%1 上的升级在清除设置后中断：“设备 &gt; 完成中断的升级”可以继续这次升级</translation>
    </message>
    <message>
        <source>write</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>Finishing the interrupted update on %1</source>
        <translation>正在完成 %1 上中断的升级</translation>
    </message>
    <message>
        <source>Nothing was sent: %1</source>
        <translation>未发送任何内容：%1</translation>
    </message>
    <message>
        <source>An update on this port stopped after it erased the settings: Device &gt; Finish the interrupted update carries it on.</source>
        <translation>此端口上的升级在清除设置后中断：“设备 &gt; 完成中断的升级”可以继续这次升级。</translation>
    </message>
    <message>
        <source>The update failed (%1); the old firmware runs, with its settings written back and verified</source>
        <translation>升级失败（%1）；设备运行原固件，设置已写回并核对</translation>
    </message>
    <message>
        <source>The update failed (%1); the old firmware runs, but these settings differ from those read before: %2</source>
        <translation>升级失败（%1）；设备运行原固件，但这些设置与升级前读取的不同：%2</translation>
    </message>
    <message>
        <source>update complete, but these settings differ from those read before: %1</source>
        <translation>升级完成，但这些设置与升级前读取的不同：%1</translation>
    </message>
    <message>
        <source>update</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>&amp;Finish the interrupted update</source>
        <translation>完成中断的升级(&amp;F)</translation>
    </message>
    <message>
        <source>%1. %2</source>
        <extracomment>What the device holds, then how to bring it back.</extracomment>
        <translation>%1。%2</translation>
    </message>
    <message>
        <source>Nothing was written: these values would change the commands the device receives. Mend them first:</source>
        <translation>未写入任何内容：这些值会改变设备收到的命令。请先修改：</translation>
    </message>
    <message>
        <source>The device may cut these values short:</source>
        <translation>设备可能截断这些值：</translation>
    </message>
    <message>
        <source>Press Read data to read the device again.</source>
        <translation>按“读取数据”再次读取设备。</translation>
    </message>
    <message>
        <source>Check that the device is on and its cable is plugged in, then press Read data again.</source>
        <translation>请检查设备已开机、线缆已插好，然后再按“读取数据”。</translation>
    </message>
    <message>
        <source>Nothing was written: mend the values listed and press Write data, or press it again and answer Yes to write them as they are.</source>
        <translation>未写入任何内容：请修改所列的值后按“写入数据”，或再按一次并回答“是”，按原样写入。</translation>
    </message>
    <message>
        <source>Choose the device&apos;s port in the port list and check its cable; on Linux, join the dialout group (then log in again) if the port refuses you.</source>
        <translation>请在端口列表中选择设备的端口并检查线缆；在 Linux 上，如果端口拒绝访问，请加入 dialout 组（然后重新登录）。</translation>
    </message>
    <message>
        <source>Program version</source>
        <translation>程序版本</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>步骤</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Status reports</source>
        <translation>状态信息</translation>
    </message>
    <message>
        <source>What the program did and what to do next; read-only, select and copy.</source>
        <translation>程序做了什么以及下一步该做什么；只读，可选择和复制。</translation>
    </message>
    <message>
        <source>%1, part %2</source>
        <extracomment>An address&apos;s caption, then which of its four numbers.</extracomment>
        <translation>%1，第 %2 部分</translation>
    </message>
</context>
</TS>
