#pragma once

#include "codepage.h"
#include "fields.h"

#include <QList>
#include <QStringList>

#include <utility>

namespace telx5::DeviceSettings {

// Choice lists, in the order the window offers them.
QStringList dhcpChoices();      // "DHCP", "STATIC IP"
QStringList ssidChoices();      // "0" .. "15"
QStringList serverChoices();    // China, Japan, Europe, one literal IPv4 address
QStringList unitChoices();      // "km", "mi", "公里"
QStringList modChoices();       // "1" .. "5"
QStringList pathChoices();      // "None", "WIDE1-1", "WIDE1-1WIDE2-1", "WIDE1-1WIDE2-2"
QStringList aliasChoices();     // "WIDE1", "WIDE2", "WIDE1+WIDE2"
QStringList backlightChoices(); // "ON", "05", "10", "20", "30", "60", "90"

inline const QString StaticIp = QStringLiteral("STATIC IP");

// The Default button: factory values into every field but the Wi-Fi
// credentials, the version and the octet boxes' enabled state.
void applyDefaults(DeviceView &view);

// The name of a field as the window's captions give it.
QString fieldName(Field field, bool chinese);

// The fields that Write and Save carry as text, with how many of their
// characters the code page lacks (those go out as '?'); fields that lose
// nothing are left out.
QList<std::pair<Field, qsizetype>> lossyFields(const DeviceView &view, const TextCodec &codec);

// One status line for such a field, in the window's language.
QString lossLine(Field field, qsizetype lost, bool chinese);

} // namespace telx5::DeviceSettings

// Wire codes of the choice fields. Device answers, settings files and write
// commands share them; the fall-backs for texts that are not entries differ
// between the write session and the settings file.
namespace telx5::WireCodes {

QString backlightCode(const QString &text); // "ON" -> "00", anything else as it stands
QString unitCode(const QString &text);      // write session: unknown -> "2"
QString fileUnitCode(const QString &text);  // settings file: unknown -> "1"
QString digiCode(const QString &text);      // "1" -> "1", anything else -> "0"
QString pathCode(const QString &text);      // unknown -> "1"
QString aliasCode(const QString &text);     // unknown -> "3"
bool isStaticAddressing(const QString &dhcpText);

// Code -> entry, as the parser maps answers back. Empty for unknown codes.
QString unitFromCode(char code);
QString pathFromCode(char code);
QString aliasFromCode(char code);

} // namespace telx5::WireCodes
