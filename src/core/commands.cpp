#include "commands.h"

#include "devicesettings.h"

namespace telx5::Commands {

namespace {

constexpr int StepWaitMs = 200;
constexpr qsizetype CallsignWidth = 6;

QString line(const QString &body)
{
    return body + QStringLiteral("#\r\n");
}

QString withValue(QLatin1StringView keyword, const QString &value)
{
    return line(keyword + value);
}

} // namespace

QString connect()
{
    return QStringLiteral("\r\nSETUP#\r\n");
}

QString read()
{
    return QStringLiteral("AT+READ#\r\n");
}

QString reboot()
{
    return QStringLiteral("REBOOT#\r\n");
}

QString resetEeram()
{
    return QStringLiteral("AT+RESET#\r\n");
}

QString wifi(const QString &ssid, const QString &password)
{
    return line(QStringLiteral("AT+WIFI,") + ssid + QLatin1Char(',') + password);
}

std::optional<QString> call(const QString &callsign, const QString &ssid)
{
    if (callsign.size() > CallsignWidth)
        return std::nullopt;
    return line(QStringLiteral("AT+CALL,") +
                callsign.leftJustified(CallsignWidth, QLatin1Char(' ')) + QLatin1Char('-') + ssid);
}

QString pass(const QString &pass)
{
    return withValue(QLatin1StringView("AT+PASS,"), pass);
}

QString dhcp(bool staticAddressing)
{
    return staticAddressing ? QStringLiteral("AT+DHCP,0#\r\n") : QStringLiteral("AT+DHCP,1#\r\n");
}

QString address(Address address, const QString &a, const QString &b, const QString &c,
                const QString &d)
{
    QLatin1StringView keyword;
    switch (address) {
    case Address::Ip:
        keyword = QLatin1StringView("AT+IP,");
        break;
    case Address::Mask:
        keyword = QLatin1StringView("AT+SUB,");
        break;
    case Address::Gate:
        keyword = QLatin1StringView("AT+GW,");
        break;
    case Address::Dns:
        keyword = QLatin1StringView("AT+DNS,");
        break;
    }
    return line(keyword + a + QLatin1Char(',') + b + QLatin1Char(',') + c + QLatin1Char(',') + d);
}

QString position(const QString &text)
{
    return withValue(QLatin1StringView("AT+POSI,"), text);
}

QString comment(const QString &text)
{
    return withValue(QLatin1StringView("AT+COMMENT,"), text);
}

QString server(const QString &text)
{
    return withValue(QLatin1StringView("AT+SERVER,"), text);
}

QString sentTime(const QString &text)
{
    return withValue(QLatin1StringView("AT+TIME,"), text);
}

QString filter(const QString &text)
{
    return withValue(QLatin1StringView("AT+FILTER,"), text);
}

QString backlight(const QString &text)
{
    return withValue(QLatin1StringView("AT+BACKLIGHT,"), WireCodes::backlightCode(text));
}

QString unit(const QString &text)
{
    return withValue(QLatin1StringView("AT+UNIT,"), WireCodes::unitCode(text));
}

QString digi(const QString &text)
{
    return withValue(QLatin1StringView("AT+DIGI,"), WireCodes::digiCode(text));
}

QString mod(const QString &text)
{
    return withValue(QLatin1StringView("AT+MOD,"), text);
}

QString path(const QString &text)
{
    return withValue(QLatin1StringView("AT+PATH,"), WireCodes::pathCode(text));
}

QString alias(const QString &text)
{
    return withValue(QLatin1StringView("AT+ALIAS,"), WireCodes::aliasCode(text));
}

QString freq(const QString &text)
{
    return QStringLiteral("\r\n") + withValue(QLatin1StringView("AT+FREQ,"), text);
}

QList<WriteStep> writePlan(const DeviceView &view)
{
    const auto value = [&view](Field field) { return view.text(field); };
    const auto octets = [&view](Address which) {
        return address(which, view.text(octetField(which, 0)), view.text(octetField(which, 1)),
                       view.text(octetField(which, 2)), view.text(octetField(which, 3)));
    };
    const QList<int> step{StepWaitMs};

    QList<WriteStep> plan;
    plan.append({call(value(Field::Callsign), value(Field::Ssid)), step});
    plan.append({pass(value(Field::Pass)), step});
    if (WireCodes::isStaticAddressing(value(Field::Dhcp))) {
        plan.append({dhcp(true), step});
        plan.append({octets(Address::Ip), step});
        plan.append({octets(Address::Mask), step});
        plan.append({octets(Address::Gate), step});
        plan.append({octets(Address::Dns), {StepWaitMs, StepWaitMs}});
    } else {
        plan.append({dhcp(false), step});
    }
    plan.append({position(value(Field::Position)), step});
    plan.append({comment(value(Field::Comment)), step});
    plan.append({server(value(Field::Server)), step});
    plan.append({sentTime(value(Field::SentTime)), step});
    plan.append({filter(value(Field::Filter)), step});
    plan.append({backlight(value(Field::Backlight)), step});
    plan.append({unit(value(Field::Unit)), step});
    plan.append({digi(value(Field::Digi)), step});
    plan.append({mod(value(Field::Mod)), step});
    plan.append({path(value(Field::Path)), step});
    // The frequency line follows the alias line at once.
    plan.append({alias(value(Field::Alias)), {}});
    plan.append({freq(value(Field::Freq)), step});
    return plan;
}

} // namespace telx5::Commands
