#include "writefixtures.h"

namespace telx5::testing {

void WriteFixture::fill(DeviceView &view) const
{
    for (const auto &[field, text] : window)
        view.setText(field, text);
}

QList<Field> WriteFixture::fields() const
{
    QList<Field> result;
    for (const auto &entry : window)
        result.append(entry.first);
    return result;
}

WriteFixture dhcpWrite()
{
    return {{
                {Field::Callsign, QStringLiteral("AB1C")},
                {Field::Ssid, QStringLiteral("7")},
                {Field::Pass, QStringLiteral("12345")},
                {Field::Dhcp, QStringLiteral("DHCP")},
                {Field::Position, QStringLiteral("3113.12N/12129.34E>")},
                {Field::Comment, QStringLiteral("hello, world#1")},
                {Field::Server, QStringLiteral("china.aprs2.net")},
                {Field::SentTime, QStringLiteral("600")},
                {Field::Filter, QStringLiteral("m/50")},
                {Field::Backlight, QStringLiteral("ON")},
                {Field::Unit, QStringLiteral("公里")},
                {Field::Digi, QStringLiteral("1")},
                {Field::Mod, QStringLiteral("3")},
                {Field::Path, QStringLiteral("WIDE1-1")},
                {Field::Alias, QStringLiteral("WIDE1+WIDE2")},
                {Field::Freq, QStringLiteral("144.6400")},
            },
            QByteArrayLiteral("AT+CALL,AB1C  -7#\r\n"
                              "AT+PASS,12345#\r\n"
                              "AT+DHCP,1#\r\n"
                              "AT+POSI,3113.12N/12129.34E>#\r\n"
                              "AT+COMMENT,hello, world#1#\r\n"
                              "AT+SERVER,china.aprs2.net#\r\n"
                              "AT+TIME,600#\r\n"
                              "AT+FILTER,m/50#\r\n"
                              "AT+BACKLIGHT,00#\r\n"
                              "AT+UNIT,3#\r\n"
                              "AT+DIGI,1#\r\n"
                              "AT+MOD,3#\r\n"
                              "AT+PATH,1#\r\n"
                              "AT+ALIAS,3#\r\n"
                              "\r\nAT+FREQ,144.6400#\r\n")};
}

WriteFixture staticWrite()
{
    return {{
                {Field::Callsign, QStringLiteral("BG5ABC")},
                {Field::Ssid, QStringLiteral("15")},
                {Field::Pass, QStringLiteral("2468")},
                {Field::Dhcp, QStringLiteral("STATIC IP")},
                {Field::Ip1, QStringLiteral("192")},
                {Field::Ip2, QStringLiteral("168")},
                {Field::Ip3, QStringLiteral("1")},
                {Field::Ip4, QStringLiteral("99")},
                {Field::Mask1, QStringLiteral("255")},
                {Field::Mask2, QStringLiteral("255")},
                {Field::Mask3, QStringLiteral("255")},
                {Field::Mask4, QStringLiteral("0")},
                {Field::Gate1, QStringLiteral("192")},
                {Field::Gate2, QStringLiteral("168")},
                {Field::Gate3, QStringLiteral("1")},
                {Field::Gate4, QStringLiteral("1")},
                {Field::Dns1, QStringLiteral("8")},
                {Field::Dns2, QString()},
                {Field::Dns3, QStringLiteral("8")},
                {Field::Dns4, QStringLiteral("8")},
                {Field::Position, QStringLiteral("3958.56N/11623.37E-")},
                {Field::Comment, QStringLiteral("TELX5")},
                {Field::Server, QStringLiteral("euro.aprs2.net")},
                {Field::SentTime, QStringLiteral("1200")},
                {Field::Filter, QString()},
                {Field::Backlight, QStringLiteral("30")},
                {Field::Unit, QStringLiteral("mi")},
                {Field::Digi, QStringLiteral("0")},
                {Field::Mod, QStringLiteral("5")},
                {Field::Path, QStringLiteral("None")},
                {Field::Alias, QStringLiteral("WIDE2")},
                {Field::Freq, QStringLiteral("144.3900")},
            },
            QByteArrayLiteral("AT+CALL,BG5ABC-15#\r\n"
                              "AT+PASS,2468#\r\n"
                              "AT+DHCP,0#\r\n"
                              "AT+IP,192,168,1,99#\r\n"
                              "AT+SUB,255,255,255,0#\r\n"
                              "AT+GW,192,168,1,1#\r\n"
                              "AT+DNS,8,,8,8#\r\n"
                              "AT+POSI,3958.56N/11623.37E-#\r\n"
                              "AT+COMMENT,TELX5#\r\n"
                              "AT+SERVER,euro.aprs2.net#\r\n"
                              "AT+TIME,1200#\r\n"
                              "AT+FILTER,#\r\n"
                              "AT+BACKLIGHT,30#\r\n"
                              "AT+UNIT,2#\r\n"
                              "AT+DIGI,0#\r\n"
                              "AT+MOD,5#\r\n"
                              "AT+PATH,0#\r\n"
                              "AT+ALIAS,2#\r\n"
                              "\r\nAT+FREQ,144.3900#\r\n")};
}

} // namespace telx5::testing
