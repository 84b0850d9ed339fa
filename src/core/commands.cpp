#include "commands.h"

#include "devicesettings.h"
#include "settingstable.h"

namespace telx5::Commands {

namespace {

constexpr int StepWaitMs = 200;
constexpr qsizetype CallsignWidth = 6;

QString line(const QString &body)
{
    return body + QStringLiteral("#\r\n");
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

std::optional<QString> settingLine(Setting setting, const SettingsRecord &record)
{
    const SettingRow &row = SettingsTable::row(setting);
    if (!row.command)
        return std::nullopt;
    // Padding cannot fill a longer callsign to the device's six places.
    if (row.form == ValueForm::CallsignSsid && record.text(row.firstField).size() > CallsignWidth)
        return std::nullopt;
    return line(QLatin1StringView(row.command) +
                SettingsTable::valueText(setting, record, SettingsTable::Destination::Device));
}

QList<WriteStep> writePlan(const SettingsRecord &record)
{
    const bool staticAddressing = WireCodes::isStaticAddressing(record.text(Field::Dhcp));
    QList<WriteStep> plan;
    std::optional<WriteStep> last;
    qsizetype lastAddress = -1;
    for (const SettingRow &row : SettingsTable::settings()) {
        if (!row.command || (row.staticOnly && !staticAddressing))
            continue;
        WriteStep step{settingLine(row.setting, record), {StepWaitMs}};
        if (row.sentLast) {
            last = step;
            continue;
        }
        plan.append(step);
        if (row.staticOnly)
            lastAddress = plan.size() - 1;
    }
    // The device takes a moment longer after the last address.
    if (lastAddress >= 0)
        plan[lastAddress].waitsMs.append(StepWaitMs);
    // The last line follows the one before it at once.
    plan.last().waitsMs = {};
    if (last)
        plan.append(*last);
    return plan;
}

} // namespace telx5::Commands
