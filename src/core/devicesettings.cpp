#include "devicesettings.h"

#include <QCoreApplication>

namespace telx5::DeviceSettings {

void applyDefaults(SettingsRecord &record)
{
    const auto setAddress = [&record](Address address, const char *a, const char *b, const char *c,
                                      const char *d) {
        record.setText(octetField(address, 0), QString::fromLatin1(a));
        record.setText(octetField(address, 1), QString::fromLatin1(b));
        record.setText(octetField(address, 2), QString::fromLatin1(c));
        record.setText(octetField(address, 3), QString::fromLatin1(d));
    };

    record.setText(Field::Callsign, QStringLiteral("NOCALL"));
    record.setText(Field::Ssid, QStringLiteral("10"));
    record.setText(Field::Pass, QStringLiteral("40417"));
    record.setText(Field::Dhcp, QStringLiteral("DHCP"));
    setAddress(Address::Ip, "192", "168", "1", "99");
    setAddress(Address::Mask, "255", "255", "255", "0");
    setAddress(Address::Gate, "192", "168", "1", "1");
    setAddress(Address::Dns, "8", "8", "8", "8");
    record.setText(Field::Position, QStringLiteral("!3035.00N/11417.00ErPHG1010"));
    record.setText(Field::Comment, QStringLiteral("TELX5 144.640MHz"));
    record.setText(Field::Server, serverChoices().constFirst());
    record.setText(Field::SentTime, QStringLiteral("0600"));
    record.setText(Field::Filter, QStringLiteral("b/TELX5"));
    record.setText(Field::Backlight, QStringLiteral("ON"));
    record.setText(Field::Unit, QStringLiteral("km"));
    record.setText(Field::Digi, QStringLiteral("0"));
    record.setText(Field::Mod, QStringLiteral("3"));
    record.setText(Field::Path, QStringLiteral("WIDE1-1"));
    record.setText(Field::Alias, QStringLiteral("WIDE1+WIDE2"));
    record.setText(Field::Freq, QStringLiteral("144.6400"));
    record.setText(Field::Ctcss, QStringLiteral("--"));
    record.setOrigin(SettingsRecord::Origin::Defaults);
}

QList<std::pair<Field, qsizetype>> lossyFields(const SettingsRecord &record, const TextCodec &codec)
{
    QList<std::pair<Field, qsizetype>> lossy;
    for (int index = 0; index < FieldCount; ++index) {
        const Field field = Field(index);
        if (!SettingsTable::field(field).codePageChecked)
            continue;
        qsizetype lost = 0;
        codec.encode(record.text(field), &lost);
        if (lost > 0)
            lossy.append({field, lost});
    }
    return lossy;
}

QString lossLine(Field field, qsizetype lost)
{
    return (lost == 1 ? QCoreApplication::translate(
                            "Settings", "%1: %2 character cannot be sent in this language setting "
                                        "and becomes '?'")
                      : QCoreApplication::translate(
                            "Settings", "%1: %2 characters cannot be sent in this language "
                                        "setting and become '?'"))
        .arg(SettingsTable::fieldName(field))
        .arg(lost);
}

QString captions(const QList<Setting> &settings)
{
    QStringList names;
    for (Setting setting : settings)
        names.append(SettingsTable::caption(setting));
    return names.join(QCoreApplication::translate("Settings", ", "));
}

} // namespace telx5::DeviceSettings

namespace telx5::WireCodes {

bool isStaticAddressing(const QString &dhcpText)
{
    return dhcpText == DeviceSettings::StaticIp;
}

} // namespace telx5::WireCodes
