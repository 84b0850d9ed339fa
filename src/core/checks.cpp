#include "checks.h"

#include "codepage.h"
#include "devicesettings.h"
#include "settingsrecord.h"
#include "settingstable.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace telx5 {

namespace {

class Findings
{
public:
    void add(Field field, Severity severity, const QString &text, Barrier barrier = Barrier::None)
    {
        m_problems.append({field, severity, text, barrier});
    }
    void warn(Field field, const QString &text) { add(field, Severity::Warning, text); }
    void error(Field field, const QString &text) { add(field, Severity::Error, text); }
    QList<Problem> problems() const { return m_problems; }

private:
    QList<Problem> m_problems;
};

bool isAsciiLetter(QChar character)
{
    return (character >= QLatin1Char('A') && character <= QLatin1Char('Z')) ||
           (character >= QLatin1Char('a') && character <= QLatin1Char('z'));
}

bool isAsciiDigit(QChar character)
{
    return character >= QLatin1Char('0') && character <= QLatin1Char('9');
}

bool isDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (QChar character : text) {
        if (!isAsciiDigit(character))
            return false;
    }
    return true;
}

constexpr qsizetype CallsignWidth = 6;

// A saved callsign comes back padded to six with blanks, which the device
// drops as well.
QString unpaddedCallsign(const SettingsRecord &record)
{
    QString callsign = record.text(Field::Callsign);
    while (callsign.endsWith(QLatin1Char(' ')))
        callsign.chop(1);
    return callsign;
}

// ---- How a value travels ----

// A control character (C0, DEL, C1) would change the command a value is part
// of: a line feed starts another command, a NUL or ESC is no text.
std::optional<QChar> firstControl(const QString &text)
{
    for (QChar character : text) {
        if (character.category() == QChar::Other_Control)
            return character;
    }
    return std::nullopt;
}

QString controlText(QChar character)
{
    return QStringLiteral("U+%1").arg(character.unicode(), 4, 16, QLatin1Char('0')).toUpper();
}

// What keeps a text from arriving as it stands: a control character, a
// character the code page lacks, a "#" (the end of the device's command).
// `separator` is a character that splits the command's values as well.
void checkCarriage(Field field, const QString &text, const TextCodec &codec, Findings &findings,
                   QChar separator = QChar())
{
    if (const std::optional<QChar> control = firstControl(text))
        findings.add(field, Severity::Error,
                     QCoreApplication::translate("Checks", "Holds the control character %1, which "
                                                           "would change the command the device "
                                                           "receives")
                         .arg(controlText(*control)),
                     Barrier::Meaning);
    qsizetype lost = 0;
    codec.encode(text, &lost);
    if (lost > 0)
        findings.add(field, Severity::Error,
                     (lost == 1 ? QCoreApplication::translate(
                                      "Checks", "1 character cannot be sent in this language "
                                                "setting and would become '?'")
                                : QCoreApplication::translate(
                                      "Checks", "%1 characters cannot be sent in this language "
                                                "setting and would become '?'")
                                      .arg(lost)),
                     Barrier::CodePage);
    if (text.contains(QLatin1Char('#')))
        findings.add(field, Severity::Warning,
                     QCoreApplication::translate("Checks", "Holds “#”, which ends the device's "
                                                           "command: the device may cut the value "
                                                           "there"),
                     Barrier::Strict);
    if (!separator.isNull() && text.contains(separator))
        findings.add(field, Severity::Warning,
                     QCoreApplication::translate("Checks", "Holds “%1”, which separates the "
                                                           "command's two values: the device may "
                                                           "cut the value there")
                         .arg(separator),
                     Barrier::Strict);
}

// The text fields of a setting, each as the write carries it; longer than
// its box takes is worth a word (the box cuts only what is typed).
void checkFields(Setting setting, const SettingsRecord &record, const TextCodec &codec,
                 Findings &findings)
{
    for (Field field : SettingsTable::fields(setting)) {
        const FieldRow &row = SettingsTable::field(field);
        if (!row.codePageChecked)
            continue;
        const QString &text = record.text(field);
        checkCarriage(field, text, codec, findings);
        // A callsign over six characters is an error of its own.
        if (row.typingLimit > 0 && text.size() > row.typingLimit && field != Field::Callsign)
            findings.add(field, Severity::Warning,
                         QCoreApplication::translate("Checks", "%1 characters: its box takes %2")
                             .arg(text.size())
                             .arg(row.typingLimit),
                         Barrier::Strict);
    }
}

// ---- Callsign and passcode ----

void checkCallsign(const SettingsRecord &record, Findings &findings)
{
    constexpr int HighestSsid = 15;
    const QString callsign = unpaddedCallsign(record);
    if (callsign.isEmpty()) {
        findings.warn(Field::Callsign, QCoreApplication::translate("Checks", "No callsign"));
    } else if (callsign.size() > CallsignWidth) {
        // The write cannot pad it to the device's six places and leaves it out.
        findings.error(
            Field::Callsign,
            QCoreApplication::translate("Checks", "%1 has more than six characters").arg(callsign));
    } else {
        bool letter = false;
        bool digit = false;
        bool other = false;
        for (QChar character : callsign) {
            letter = letter || isAsciiLetter(character);
            digit = digit || isAsciiDigit(character);
            other = other || !(isAsciiLetter(character) || isAsciiDigit(character));
        }
        if (other)
            findings.warn(Field::Callsign,
                          QCoreApplication::translate(
                              "Checks", "%1 holds characters other than letters and digits")
                              .arg(callsign));
        else if (!letter || !digit)
            findings.warn(Field::Callsign,
                          QCoreApplication::translate(
                              "Checks", "%1 is not a callsign: it needs letters and a digit")
                              .arg(callsign));
        else if (callsign != callsign.toUpper())
            findings.warn(Field::Callsign,
                          QCoreApplication::translate("Checks", "%1: APRS-IS expects upper case; "
                                                                "the device sends it as typed")
                              .arg(callsign));
    }

    const QString &ssid = record.text(Field::Ssid);
    if (!isDigits(ssid) || ssid.toInt() > HighestSsid)
        findings.error(Field::Ssid, QCoreApplication::translate(
                                        "Checks", "SSID “%1” is not a number from 0 to 15")
                                        .arg(ssid));
}

void checkPass(const SettingsRecord &record, Findings &findings)
{
    constexpr int HighestPasscode = 0x7FFF;
    const QString &pass = record.text(Field::Pass);
    const QString callsign = unpaddedCallsign(record);
    if (pass == QLatin1String("-1")) {
        findings.warn(Field::Pass,
                      QCoreApplication::translate("Checks", "Receive-only: the APRS-IS server "
                                                            "will not gate this device's packets"));
        return;
    }
    if (!isDigits(pass)) {
        findings.warn(Field::Pass,
                      QCoreApplication::translate("Checks", "“%1” is not a passcode: it must be a "
                                                            "number")
                          .arg(pass));
        return;
    }
    // A callsign the write leaves out says nothing of the device's own; a
    // passcode has 15 bits all the same.
    if (callsign.isEmpty() || callsign.size() > CallsignWidth) {
        if (pass.size() > 5 || pass.toInt() > HighestPasscode)
            findings.warn(Field::Pass, QCoreApplication::translate(
                                           "Checks", "Pass %1 is beyond 32767: a passcode is 0 "
                                                     "to 32767, or -1 to receive only")
                                           .arg(pass));
        return;
    }
    const int expected = Checks::passcode(callsign);
    if (pass.toInt() != expected)
        findings.warn(Field::Pass,
                      QCoreApplication::translate(
                          "Checks", "Pass %1 does not belong to %2; its passcode is %3")
                          .arg(pass, callsign.toUpper())
                          .arg(expected));
}

// ---- Static addresses ----

// The four octets of an address, or nothing when a box is not an octet
// (which is then reported).
std::optional<quint32> checkOctets(const SettingsRecord &record, Address address,
                                   Findings &findings)
{
    constexpr int HighestOctet = 255;
    quint32 value = 0;
    bool whole = true;
    for (int index = 0; index < 4; ++index) {
        const Field field = octetField(address, index);
        const QString &text = record.text(field);
        if (text.isEmpty()) {
            findings.error(field, QCoreApplication::translate("Checks", "Empty octet"));
            whole = false;
        } else if (!isDigits(text)) {
            findings.error(field,
                           QCoreApplication::translate("Checks", "%1 is not a number").arg(text));
            whole = false;
        } else if (text.size() > 3 || text.toInt() > HighestOctet) {
            findings.error(field,
                           QCoreApplication::translate("Checks", "%1 is over 255").arg(text));
            whole = false;
        } else {
            value = (value << 8) | quint32(text.toInt());
        }
    }
    return whole ? std::optional<quint32>(value) : std::nullopt;
}

// The octet box holding the highest bit in which `bits` is set.
Field octetOfBits(Address address, quint32 bits)
{
    for (int index = 0; index < 4; ++index) {
        if (bits & (0xFF000000u >> (8 * index)))
            return octetField(address, index);
    }
    return octetField(address, 3);
}

void checkAddresses(const SettingsRecord &record, Findings &findings)
{
    std::array<std::optional<quint32>, 4> values;
    for (Address address : AllAddresses)
        values[std::size_t(address)] = checkOctets(record, address, findings);
    // This network (0.x), loopback (127.x), multicast and reserved (224 and
    // up) are addresses no device, gateway or name server on a LAN has; such
    // an address is judged no further.
    for (Address address : {Address::Ip, Address::Gate, Address::Dns}) {
        auto &value = values[std::size_t(address)];
        const quint32 first = value ? *value >> 24 : 1;
        if (first == 0 || first == 127 || first >= 224) {
            findings.error(octetField(address, 0),
                           QCoreApplication::translate(
                               "Checks", "No device can use this address (0.x, loopback 127.x, "
                                         "multicast or reserved 224 and up)"));
            value.reset();
        }
    }
    const auto ip = values[std::size_t(Address::Ip)];
    const auto mask = values[std::size_t(Address::Mask)];
    const auto gate = values[std::size_t(Address::Gate)];
    if (!mask)
        return;
    if (*mask == 0) {
        findings.error(octetField(Address::Mask, 0),
                       QCoreApplication::translate(
                           "Checks", "Mask 0.0.0.0 puts every address on the local network: the "
                                     "gateway is never used"));
        return;
    }
    // A mask is ones, then zeros; a one after the first zero is the fault.
    const int prefix = std::countl_one(*mask);
    const quint32 hostBits = prefix == 32 ? 0 : 0xFFFFFFFFu >> prefix;
    if (const quint32 strayOnes = *mask & hostBits) {
        findings.error(octetOfBits(Address::Mask, strayOnes),
                       QCoreApplication::translate(
                           "Checks", "Not a subnet mask: its ones must all come before its zeros"));
        return;
    }
    if (!ip)
        return;
    // A /31 or /32 has no network or broadcast address of its own.
    if (hostBits > 1) {
        const quint32 host = *ip & hostBits;
        if (host == 0)
            findings.warn(octetOfBits(Address::Ip, hostBits),
                          QCoreApplication::translate(
                              "Checks", "This is the network address of its subnet, not a host's"));
        else if (host == hostBits)
            findings.warn(
                octetOfBits(Address::Ip, hostBits),
                QCoreApplication::translate(
                    "Checks", "This is the broadcast address of its subnet, not a host's"));
    }
    if (gate && (*gate & *mask) != (*ip & *mask))
        findings.warn(octetOfBits(Address::Gate, (*gate ^ *ip) & *mask),
                      QCoreApplication::translate(
                          "Checks", "The gateway is outside the subnet of the IP address"));
}

// ---- Position ----

struct Coordinate
{
    int degrees = 0;
    QString minutes; // as written, blanks read as zeros: "35.00"
    QChar hemisphere;
};

struct Phg
{
    int watts = 0;
    int feet = 0;
    int gain = 0;
    int directivity = 0;
};

struct PositionReport
{
    Coordinate latitude;
    Coordinate longitude;
    QChar table;
    QChar symbol;
    std::optional<Phg> phg;
    // Digits the sender blanked from the right of the latitude, 0 to 4.
    int ambiguity = 0;
    // "092345z", "092345/" or "234517h"; empty for "!" and "=".
    QString timestamp;
};

using Fault = std::pair<Severity, QString>;

struct PositionReading
{
    std::optional<PositionReport> report;
    // The first fault found; none when the report and its PHG are sound.
    std::optional<Fault> fault;
};

enum class Axis
{
    Latitude,  // DDMM.mm and N or S
    Longitude, // DDDMM.mm and E or W
};

struct AxisForm
{
    int degreeDigits;
    int highestDegrees;
    char positive;
    char negative;
};

constexpr AxisForm formOf(Axis axis)
{
    return axis == Axis::Latitude ? AxisForm{2, 90, 'N', 'S'} : AxisForm{3, 180, 'E', 'W'};
}

// The degrees, four characters of minutes and the hemisphere letter.
constexpr qsizetype widthOf(Axis axis)
{
    return formOf(axis).degreeDigits + 6;
}

Fault rangeFault(Axis axis, int degrees, const QString &minutes)
{
    return {Severity::Error,
            (axis == Axis::Latitude
                 ? QCoreApplication::translate("Checks", "Latitude %1°%2′ is beyond 90°")
                 : QCoreApplication::translate("Checks", "Longitude %1°%2′ is beyond 180°"))
                .arg(degrees)
                .arg(minutes)};
}

// A coordinate as APRS writes it uncompressed. Position ambiguity blanks the
// last digits, from the right (the point stays): "3035.  N" is 30°35′.
// `ambiguity` hears how many.
std::optional<Fault> readCoordinate(QStringView text, Axis axis, Coordinate &coordinate,
                                    int &ambiguity)
{
    const AxisForm form = formOf(axis);
    const int digits = form.degreeDigits;
    const QStringView field = text.left(widthOf(axis));
    const Fault unshaped{Severity::Warning,
                         axis == Axis::Latitude
                             ? QCoreApplication::translate(
                                   "Checks", "The latitude must be written DDMM.mm and N or S")
                             : QCoreApplication::translate(
                                   "Checks", "The longitude must be written DDDMM.mm and E or W")};
    if (field.size() != widthOf(axis) || field.at(digits + 2) != QLatin1Char('.'))
        return unshaped;
    // The digit places from the right: two of hundredths, then minutes,
    // then (for a blanked degree's place) none: degrees are never blanked.
    const std::array<qsizetype, 4> places{digits + 4, digits + 3, digits + 1, digits};
    ambiguity = 0;
    while (ambiguity < int(places.size()) &&
           field.at(places[std::size_t(ambiguity)]) == QLatin1Char(' '))
        ++ambiguity;
    QString written = field.first(digits + 5).toString();
    for (int blank = 0; blank < ambiguity; ++blank)
        written[places[std::size_t(blank)]] = QLatin1Char('0');
    if (!isDigits(QStringView(written).first(digits + 2)) ||
        !isDigits(QStringView(written).sliced(digits + 3, 2)))
        return unshaped;
    coordinate.degrees = written.first(digits).toInt();
    coordinate.minutes = written.sliced(digits, 5);
    coordinate.hemisphere = field.at(digits + 5);
    const double minutes = coordinate.minutes.toDouble();
    if (coordinate.degrees > form.highestDegrees ||
        (coordinate.degrees == form.highestDegrees && minutes > 0))
        return rangeFault(axis, coordinate.degrees, coordinate.minutes);
    if (minutes >= 60)
        return Fault{Severity::Error,
                     QCoreApplication::translate("Checks", "Minutes %1 are not below 60")
                         .arg(coordinate.minutes)};
    if (coordinate.hemisphere != QLatin1Char(form.positive) &&
        coordinate.hemisphere != QLatin1Char(form.negative))
        return Fault{Severity::Warning, QCoreApplication::translate("Checks", "%1 is not %2 or %3")
                                            .arg(coordinate.hemisphere)
                                            .arg(QLatin1Char(form.positive))
                                            .arg(QLatin1Char(form.negative))};
    return std::nullopt;
}

// "PHGphgd": power p² W, height 10·2^h ft, gain g dB, directivity d (0 all
// round, 1 to 8 in steps of 45° from north-east).
std::optional<Phg> readPhg(QStringView text)
{
    constexpr int HighestDirectivity = 8;
    const QStringView digits = text.sliced(3).left(4);
    if (digits.size() != 4 || !isDigits(digits))
        return std::nullopt;
    Phg phg;
    const int power = digits.at(0).digitValue();
    phg.watts = power * power;
    phg.feet = 10 << digits.at(1).digitValue();
    phg.gain = digits.at(2).digitValue();
    phg.directivity = digits.at(3).digitValue();
    if (phg.directivity > HighestDirectivity)
        return std::nullopt;
    return phg;
}

bool isOverlay(QChar table)
{
    return (table >= QLatin1Char('A') && table <= QLatin1Char('Z')) || isAsciiDigit(table);
}

std::optional<Fault> symbolCodeFault(QChar symbol)
{
    if (symbol > QLatin1Char(' ') && symbol <= QLatin1Char('~'))
        return std::nullopt;
    return Fault{Severity::Warning,
                 QCoreApplication::translate("Checks", "Symbol code %1 is not a printable ASCII "
                                                       "character")
                     .arg(symbol)};
}

// A timestamp of a "/" or "@" report: day, hour and minute in UTC ("z") or
// local time ("/"), or hour, minute and second in UTC ("h").
bool isTimestamp(QStringView stamp)
{
    if (stamp.size() != 7 || !isDigits(stamp.first(6)))
        return false;
    const int first = stamp.first(2).toInt();
    const int second = stamp.sliced(2, 2).toInt();
    const int third = stamp.sliced(4, 2).toInt();
    const QChar zone = stamp.at(6);
    if (zone == QLatin1Char('h'))
        return first <= 23 && second <= 59 && third <= 59;
    return (zone == QLatin1Char('z') || zone == QLatin1Char('/')) && first >= 1 && first <= 31 &&
           second <= 23 && third <= 59;
}

// The compressed form: symbol table, four base-91 characters of latitude and
// four of longitude, the symbol code, two of course and speed (or range, or
// altitude) and one of compression type.
constexpr qsizetype CompressedWidth = 13;

bool readBase91(QStringView text, double &value)
{
    value = 0;
    for (QChar character : text) {
        if (character < QLatin1Char('!') || character > QLatin1Char('{'))
            return false;
        value = value * 91 + (character.unicode() - '!');
    }
    return true;
}

Coordinate coordinateOf(double degrees, Axis axis)
{
    const AxisForm form = formOf(axis);
    const double magnitude = std::abs(degrees);
    // Rounded to hundredths of a minute first, so 59.999′ becomes the next
    // degree rather than "60.00".
    const long hundredths = std::lround(magnitude * 6000);
    Coordinate coordinate;
    coordinate.degrees = int(hundredths / 6000);
    coordinate.minutes =
        QStringLiteral("%1").arg(double(hundredths % 6000) / 100, 5, 'f', 2, QLatin1Char('0'));
    coordinate.hemisphere = QLatin1Char(degrees < 0 ? form.negative : form.positive);
    return coordinate;
}

std::optional<Fault> readCompressed(QStringView text, PositionReport &report)
{
    if (text.size() < CompressedWidth)
        return Fault{Severity::Warning,
                     QCoreApplication::translate(
                         "Checks", "A compressed position has 13 characters after the data type "
                                   "(table, 4 of latitude, 4 of longitude, symbol, course and "
                                   "speed, type); this one has %1")
                         .arg(text.size())};
    report.table = text.at(0);
    // A compressed overlay digit is written as a letter from "a" to "j".
    if (report.table != QLatin1Char('/') && report.table != QLatin1Char('\\') &&
        !(report.table >= QLatin1Char('A') && report.table <= QLatin1Char('Z')) &&
        !(report.table >= QLatin1Char('a') && report.table <= QLatin1Char('j')))
        return Fault{Severity::Warning,
                     QCoreApplication::translate("Checks", "Symbol table %1 is not /, \\, an "
                                                           "overlay letter or a to j")
                         .arg(report.table)};
    double y = 0;
    double x = 0;
    if (!readBase91(text.sliced(1, 4), y) || !readBase91(text.sliced(5, 4), x))
        return Fault{Severity::Warning,
                     QCoreApplication::translate("Checks", "A compressed position's latitude and "
                                                           "longitude are characters from ! to {")};
    const double latitude = 90 - y / 380926;
    const double longitude = -180 + x / 190463;
    report.latitude = coordinateOf(latitude, Axis::Latitude);
    report.longitude = coordinateOf(longitude, Axis::Longitude);
    if (std::abs(latitude) > 90)
        return rangeFault(Axis::Latitude, report.latitude.degrees, report.latitude.minutes);
    if (std::abs(longitude) > 180)
        return rangeFault(Axis::Longitude, report.longitude.degrees, report.longitude.minutes);
    report.symbol = text.at(9);
    return symbolCodeFault(report.symbol);
}

// "CSE/SPD": the course in degrees (1 to 360, 0 when unknown) and the speed
// in knots, three digits each.
std::optional<Fault> courseFault(QStringView rest)
{
    constexpr int HighestCourse = 360;
    if (rest.size() < 7 || rest.at(3) != QLatin1Char('/') || !isDigits(rest.first(3)) ||
        !isDigits(rest.sliced(4, 3)))
        return std::nullopt;
    const int course = rest.first(3).toInt();
    if (course <= HighestCourse)
        return std::nullopt;
    return Fault{Severity::Error,
                 QCoreApplication::translate("Checks", "Course %1 is beyond 360°").arg(course)};
}

PositionReading readPosition(QStringView text)
{
    PositionReading reading;
    const auto fail = [&reading](const Fault &fault) {
        reading.fault = fault;
        return reading;
    };
    const auto warn = [&fail](const QString &why) { return fail({Severity::Warning, why}); };
    if (text.isEmpty())
        return warn(QCoreApplication::translate("Checks", "Holds no position report"));
    const QChar type = text.front();
    const bool timestamped = type == QLatin1Char('/') || type == QLatin1Char('@');
    if (!timestamped && type != QLatin1Char('!') && type != QLatin1Char('='))
        return warn(QCoreApplication::translate(
                        "Checks", "A position report begins with “!”, “=”, “/” or “@”, not “%1”")
                        .arg(type));

    PositionReport report;
    qsizetype at = 1;
    if (timestamped) {
        if (!isTimestamp(text.sliced(at).left(7)))
            return warn(QCoreApplication::translate(
                "Checks", "After “/” or “@” comes a timestamp: DDHHMMz, DDHHMM/ or HHMMSSh"));
        report.timestamp = text.sliced(at, 7).toString();
        at += 7;
    }
    // An uncompressed latitude begins with a digit (or a blank of
    // ambiguity); anything else begins the compressed form.
    if (at < text.size() && !isAsciiDigit(text.at(at)) && text.at(at) != QLatin1Char(' ')) {
        if (auto fault = readCompressed(text.sliced(at), report))
            return fail(*fault);
        reading.report = report;
        return reading;
    }

    if (auto fault =
            readCoordinate(text.sliced(at), Axis::Latitude, report.latitude, report.ambiguity))
        return fail(*fault);
    at += widthOf(Axis::Latitude);
    if (at >= text.size())
        return warn(QCoreApplication::translate("Checks", "The symbol table is missing"));
    report.table = text.at(at);
    if (report.table != QLatin1Char('/') && report.table != QLatin1Char('\\') &&
        !isOverlay(report.table))
        return warn(QCoreApplication::translate(
                        "Checks", "Symbol table %1 is not /, \\ or an overlay letter or digit")
                        .arg(report.table));
    at += 1;
    int longitudeAmbiguity = 0;
    if (auto fault =
            readCoordinate(text.sliced(at), Axis::Longitude, report.longitude, longitudeAmbiguity))
        return fail(*fault);
    // The latitude's blanks make the ambiguity; the longitude has the same
    // ones, or none.
    if (longitudeAmbiguity != 0 && longitudeAmbiguity != report.ambiguity)
        return warn(QCoreApplication::translate(
            "Checks", "The longitude's blanks must be those of the latitude, or none"));
    at += widthOf(Axis::Longitude);
    if (at >= text.size())
        return warn(QCoreApplication::translate("Checks", "The symbol code is missing"));
    report.symbol = text.at(at);
    if (auto fault = symbolCodeFault(report.symbol))
        return fail(*fault);
    at += 1;

    const QStringView rest = text.sliced(at);
    if (auto fault = courseFault(rest))
        return fail(*fault);
    reading.report = report;
    if (rest.startsWith(QLatin1StringView("PHG"))) {
        reading.report->phg = readPhg(rest);
        if (!reading.report->phg)
            return warn(QCoreApplication::translate(
                "Checks", "PHG must be followed by four digits, the last 0 to 8"));
    }
    return reading;
}

void checkPosition(const SettingsRecord &record, Findings &findings)
{
    const PositionReading reading = readPosition(record.text(Field::Position));
    if (reading.fault)
        findings.add(Field::Position, reading.fault->first, reading.fault->second);
    else if (reading.report && !reading.report->timestamp.isEmpty())
        findings.warn(Field::Position,
                      QCoreApplication::translate(
                          "Checks", "The timestamp %1 goes stale: the device sends this text "
                                    "as it stands at every beacon")
                          .arg(reading.report->timestamp));
}

QString directivityName(int directivity)
{
    switch (directivity) {
    case 1:
        return QCoreApplication::translate("Checks", "north-east");
    case 2:
        return QCoreApplication::translate("Checks", "east");
    case 3:
        return QCoreApplication::translate("Checks", "south-east");
    case 4:
        return QCoreApplication::translate("Checks", "south");
    case 5:
        return QCoreApplication::translate("Checks", "south-west");
    case 6:
        return QCoreApplication::translate("Checks", "west");
    case 7:
        return QCoreApplication::translate("Checks", "north-west");
    case 8:
        return QCoreApplication::translate("Checks", "north");
    default:
        return QCoreApplication::translate("Checks", "omni");
    }
}

QString coordinateText(const Coordinate &coordinate)
{
    return QCoreApplication::translate("Checks", "%1°%2′ %3")
        .arg(coordinate.degrees)
        .arg(coordinate.minutes)
        .arg(coordinate.hemisphere);
}

// ---- Interval, filter, frequency, lists ----

// Seconds between beacons: a shared channel carries every station's packets,
// and a fixed station has nothing new to say more often than this.
constexpr int ShortestInterval = 60;

void checkSentTime(const SettingsRecord &record, Findings &findings)
{
    const QString &interval = record.text(Field::SentTime);
    if (!isDigits(interval))
        findings.warn(
            Field::SentTime,
            QCoreApplication::translate("Checks", "“%1” is not a whole number").arg(interval));
    else if (interval.toInt() == 0)
        findings.warn(Field::SentTime,
                      QCoreApplication::translate("Checks", "An interval of zero"));
    else if (interval.toInt() < ShortestInterval)
        findings.warn(Field::SentTime,
                      QCoreApplication::translate("Checks", "%1 seconds: a beacon more often than "
                                                            "once a minute floods the shared APRS "
                                                            "channel")
                          .arg(interval.toInt()));
}

enum class FilterShape
{
    Range,   // r/lat/lon/dist
    List,    // x/item1/item2...
    Prefix,  // p/prefix1/prefix2... (no wildcard)
    Type,    // t/types or t/types/call/dist
    Symbol,  // s/pri/alt/over
    Area,    // a/latN/lonW/latS/lonE
    QFilter, // q/con/ana
    MyRange, // m/dist
    Friend,  // f/call/dist
};

struct FilterForm
{
    char letter;
    FilterShape shape;
    const char *usage;
};

constexpr FilterForm FilterForms[] = {
    {'r', FilterShape::Range, "r/lat/lon/dist"},
    {'p', FilterShape::Prefix, "p/prefix/..."},
    {'b', FilterShape::List, "b/call/..."},
    {'o', FilterShape::List, "o/object/..."},
    {'t', FilterShape::Type, "t/poimqstunwc*/call/km"},
    {'s', FilterShape::Symbol, "s/pri/alt/over"},
    {'d', FilterShape::List, "d/digi/..."},
    {'a', FilterShape::Area, "a/latN/lonW/latS/lonE"},
    {'e', FilterShape::List, "e/call/..."},
    {'g', FilterShape::List, "g/call/..."},
    {'u', FilterShape::List, "u/unproto/..."},
    {'q', FilterShape::QFilter, "q/con/ana"},
    {'m', FilterShape::MyRange, "m/dist"},
    {'f', FilterShape::Friend, "f/call/dist"},
};

bool isNumber(QStringView text, double lowest, double highest)
{
    const QStringView magnitude = text.startsWith(QLatin1Char('-')) ? text.sliced(1) : text;
    const qsizetype point = magnitude.indexOf(QLatin1Char('.'));
    const QStringView whole = point < 0 ? magnitude : magnitude.first(point);
    const QStringView fraction = point < 0 ? QStringView() : magnitude.sliced(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        return false;
    if ((!whole.isEmpty() && !isDigits(whole)) || (!fraction.isEmpty() && !isDigits(fraction)))
        return false;
    const double value = text.toDouble();
    return value >= lowest && value <= highest;
}

// Servers take no range under a tenth of a kilometre.
bool isDistance(QStringView text)
{
    constexpr double ShortestKm = 0.1;
    return isNumber(text, 0, 1e9) && text.toDouble() >= ShortestKm;
}

bool containsOnly(QStringView text, QLatin1StringView allowed)
{
    for (QChar character : text) {
        if (!allowed.contains(character))
            return false;
    }
    return true;
}

bool fitsShape(FilterShape shape, const QList<QStringView> &parts)
{
    const auto nonEmpty = [&parts] {
        for (QStringView part : parts) {
            if (part.isEmpty())
                return false;
        }
        return true;
    };
    switch (shape) {
    case FilterShape::Range:
        return parts.size() == 3 && isNumber(parts[0], -90, 90) && isNumber(parts[1], -180, 180) &&
               isDistance(parts[2]);
    case FilterShape::List:
        return !parts.isEmpty() && nonEmpty();
    case FilterShape::Prefix:
        // A prefix is matched as the start of a callsign: no wildcard.
        return !parts.isEmpty() && nonEmpty() &&
               std::none_of(parts.cbegin(), parts.cend(),
                            [](QStringView part) { return part.contains(QLatin1Char('*')); });
    case FilterShape::Type:
        return (parts.size() == 1 ||
                (parts.size() == 3 && !parts[1].isEmpty() && isDistance(parts[2]))) &&
               !parts[0].isEmpty() && containsOnly(parts[0], QLatin1StringView("poimqstunwc*"));
    case FilterShape::Symbol: {
        bool any = false;
        for (QStringView part : parts)
            any = any || !part.isEmpty();
        return parts.size() <= 3 && any;
    }
    case FilterShape::Area:
        // The north-west corner first, then the south-east one.
        return parts.size() == 4 && isNumber(parts[0], -90, 90) && isNumber(parts[1], -180, 180) &&
               isNumber(parts[2], -90, 90) && isNumber(parts[3], -180, 180) &&
               parts[0].toDouble() >= parts[2].toDouble() &&
               parts[1].toDouble() <= parts[3].toDouble();
    case FilterShape::QFilter:
        // The q construct letters, case as the constructs have it (qAo and
        // qAO are both in use).
        return (parts.size() == 1 || (parts.size() == 2 && parts[1] == QLatin1StringView("I"))) &&
               !parts[0].isEmpty() && containsOnly(parts[0], QLatin1StringView("CXUoOSrRZI"));
    case FilterShape::MyRange:
        return parts.size() == 1 && isDistance(parts[0]);
    case FilterShape::Friend:
        return parts.size() == 2 && !parts[0].isEmpty() && isDistance(parts[1]);
    }
    return false;
}

void checkFilterTerm(QStringView term, Findings &findings)
{
    const QStringView body = term.startsWith(QLatin1Char('-')) ? term.sliced(1) : term;
    for (const FilterForm &form : FilterForms) {
        // Servers take the filter letters in either case.
        if (body.size() < 2 || body.at(0).toLower() != QLatin1Char(form.letter) ||
            body.at(1) != QLatin1Char('/'))
            continue;
        if (!fitsShape(form.shape, body.sliced(2).split(QLatin1Char('/'))))
            findings.warn(Field::Filter,
                          QCoreApplication::translate("Checks", "%1 does not have the form %2")
                              .arg(term)
                              .arg(QLatin1StringView(form.usage)));
        return;
    }
    findings.warn(Field::Filter,
                  QCoreApplication::translate("Checks", "%1 is not an APRS-IS filter (r/, p/, b/, "
                                                        "o/, t/, s/, d/, a/, e/, g/, u/, q/, m/, "
                                                        "f/)")
                      .arg(term));
}

void checkFilter(const SettingsRecord &record, Findings &findings)
{
    for (QStringView term :
         QStringView(record.text(Field::Filter)).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        checkFilterTerm(term, findings);
}

void checkFreq(const SettingsRecord &record, Findings &findings)
{
    constexpr double LowestMhz = 144.0;
    constexpr double HighestMhz = 148.0;
    const QString &freq = record.text(Field::Freq);
    if (!isNumber(freq, 0, 1e9) || freq.startsWith(QLatin1Char('-'))) {
        findings.error(
            Field::Freq,
            QCoreApplication::translate("Checks", "“%1” is not a frequency in MHz").arg(freq));
        return;
    }
    const double mhz = freq.toDouble();
    if (mhz < LowestMhz || mhz > HighestMhz)
        findings.warn(Field::Freq, QCoreApplication::translate(
                                       "Checks", "%1 MHz is outside the 2 m band (144.000 to "
                                                 "148.000 MHz)")
                                       .arg(freq));
}

// A list whose entries travel as codes: a code the tool does not know is kept
// as it arrived; a text that is no entry would go out as another code.
void checkCoded(Setting setting, const SettingsRecord &record, Findings &findings)
{
    const Field field = SettingsTable::row(setting).firstField;
    const QString &text = record.text(field);
    if (const QString code = SettingsTable::keptCode(text); !code.isEmpty())
        findings.warn(field,
                      QCoreApplication::translate("Checks", "Code %1 is none this program knows: "
                                                            "it is kept and written back as it is")
                          .arg(code));
    else if (!SettingsTable::choices(field).contains(text))
        findings.error(field, QCoreApplication::translate("Checks", "“%1” is not one of the list's "
                                                                    "entries: it would be written "
                                                                    "as code %2")
                                  .arg(text, SettingsTable::writeCode(setting, text)));
}

// The APRS-IS server: a host name or a dotted IPv4 address. True when it is
// one.
bool checkServer(const SettingsRecord &record, Findings &findings)
{
    constexpr qsizetype LongestLabel = 63;
    constexpr qsizetype LongestName = 253;
    const QString &server = record.text(Field::Server);
    if (server.isEmpty()) {
        findings.error(Field::Server, QCoreApplication::translate(
                                          "Checks", "No server: the device logs in to none"));
        return false;
    }
    const QList<QStringView> labels = QStringView(server).split(QLatin1Char('.'));
    const bool dotted = std::all_of(labels.cbegin(), labels.cend(), isDigits);
    bool sound = false;
    if (dotted) {
        sound = labels.size() == 4 &&
                std::all_of(labels.cbegin(), labels.cend(), [](QStringView octet) {
                    return octet.size() <= 3 && octet.toInt() <= 255;
                });
    } else {
        sound = server.size() <= LongestName &&
                std::all_of(labels.cbegin(), labels.cend(), [](QStringView label) {
                    return !label.isEmpty() && label.size() <= LongestLabel &&
                           !label.startsWith(QLatin1Char('-')) &&
                           !label.endsWith(QLatin1Char('-')) &&
                           std::all_of(label.cbegin(), label.cend(), [](QChar character) {
                               return isAsciiLetter(character) || isAsciiDigit(character) ||
                                      character == QLatin1Char('-');
                           });
                });
    }
    if (!sound)
        findings.error(
            Field::Server,
            QCoreApplication::translate("Checks", "“%1” is neither a host name nor an IPv4 address")
                .arg(server));
    return sound;
}

// A list whose value travels as its text: another text reaches the device as
// it stands.
void checkChoice(const SettingsRecord &record, Field field, Findings &findings)
{
    const QString &text = record.text(field);
    if (!SettingsTable::choices(field).contains(text))
        findings.warn(field, QCoreApplication::translate("Checks", "“%1” is not one of the list's "
                                                                   "entries; it is sent as it "
                                                                   "stands")
                                 .arg(text));
}

// ---- Wi-Fi ----

void checkWifi(const SettingsRecord &record, const TextCodec &codec, Findings &findings)
{
    constexpr qsizetype LongestSsid = 32;
    constexpr qsizetype ShortestPassword = 8;
    constexpr qsizetype LongestPassword = 63;
    const QString &ssid = record.text(Field::WifiSsid);
    const QString &password = record.text(Field::WifiPass);
    // Boxes left empty hold no credentials: only Apply sends them.
    if (ssid.isEmpty() && password.isEmpty())
        return;
    // The command's two values are separated by ",".
    const QChar separator = QLatin1Char(',');
    checkCarriage(Field::WifiSsid, ssid, codec, findings, separator);
    const qsizetype bytes = codec.encode(ssid).size();
    if (bytes == 0)
        findings.warn(Field::WifiSsid, QCoreApplication::translate("Checks", "No network name"));
    else if (bytes > LongestSsid)
        findings.add(
            Field::WifiSsid, Severity::Warning,
            QCoreApplication::translate("Checks", "%1 bytes: a network name has at most 32")
                .arg(bytes),
            Barrier::Strict);

    checkCarriage(Field::WifiPass, password, codec, findings, separator);
    const qsizetype length = password.size();
    if (length == 0)
        findings.add(Field::WifiPass, Severity::Warning,
                     QCoreApplication::translate("Checks", "No password: the device joins the "
                                                           "network as an open one"),
                     Barrier::Strict);
    else if (length < ShortestPassword)
        findings.error(
            Field::WifiPass,
            QCoreApplication::translate("Checks", "%1 characters: a Wi-Fi password has at least 8")
                .arg(length));
    else if (length > LongestPassword)
        findings.add(Field::WifiPass, Severity::Warning,
                     QCoreApplication::translate("Checks", "%1 characters: a Wi-Fi password has "
                                                           "at most 63")
                         .arg(length),
                     Barrier::Strict);
}

void checkSetting(Setting setting, const SettingsRecord &record, const TextCodec &codec,
                  Findings &findings)
{
    // The addresses count only for static addressing, as only then does the
    // write send them.
    const bool sent = !SettingsTable::row(setting).staticOnly ||
                      WireCodes::isStaticAddressing(record.text(Field::Dhcp));
    if (sent)
        checkFields(setting, record, codec, findings);
    switch (setting) {
    case Setting::Callsign:
        checkCallsign(record, findings);
        break;
    case Setting::Pass:
        checkPass(record, findings);
        break;
    case Setting::Ip:
        // The four addresses are judged together, at the first of them.
        if (sent)
            checkAddresses(record, findings);
        break;
    case Setting::Position:
        checkPosition(record, findings);
        break;
    case Setting::SentTime:
        checkSentTime(record, findings);
        break;
    case Setting::Filter:
        checkFilter(record, findings);
        break;
    case Setting::Freq:
        checkFreq(record, findings);
        break;
    case Setting::Dhcp:
    case Setting::Unit:
    case Setting::Path:
    case Setting::Alias:
        checkCoded(setting, record, findings);
        break;
    case Setting::Server:
        if (checkServer(record, findings))
            checkChoice(record, Field::Server, findings);
        break;
    case Setting::Backlight:
    case Setting::Mod:
        checkChoice(record, SettingsTable::row(setting).firstField, findings);
        break;
    default:
        break;
    }
}

} // namespace

namespace Checks {

QList<Problem> problems(const SettingsRecord &record, Scope scope, const TextCodec &codec)
{
    Findings findings;
    for (Setting setting : SettingsTable::fileSettings())
        checkSetting(setting, record, codec, findings);
    if (scope == Scope::WithWifi)
        checkWifi(record, codec, findings);
    return findings.problems();
}

bool hasErrors(const QList<Problem> &problems)
{
    for (const Problem &problem : problems) {
        if (problem.severity == Severity::Error)
            return true;
    }
    return false;
}

QList<Problem> carriage(Field field, const QString &text, const TextCodec &codec)
{
    Findings findings;
    checkCarriage(field, text, codec, findings);
    return findings.problems();
}

QList<Problem> refusals(const QList<Problem> &problems, Allowance allowance)
{
    QList<Problem> refused;
    for (const Problem &problem : problems) {
        bool refuses = false;
        switch (problem.barrier) {
        case Barrier::None:
            refuses = allowance.strict && problem.severity == Severity::Error;
            break;
        case Barrier::Strict:
            refuses = allowance.strict;
            break;
        case Barrier::CodePage:
            // Asked for by name, the loss is no error to --strict either.
            refuses = !allowance.lossy;
            break;
        case Barrier::Meaning:
            refuses = true;
            break;
        }
        if (refuses)
            refused.append(problem);
    }
    return refused;
}

int passcode(QStringView callsign)
{
    constexpr int Seed = 0x73E2;
    constexpr int FifteenBits = 0x7FFF;
    const QStringView base = callsign.left(callsign.indexOf(QLatin1Char('-')));
    int hash = Seed;
    for (qsizetype at = 0; at < base.size(); at += 2) {
        hash ^= base.at(at).toUpper().unicode() << 8;
        if (at + 1 < base.size())
            hash ^= base.at(at + 1).toUpper().unicode();
    }
    return hash & FifteenBits;
}

std::optional<QString> describePosition(QStringView text)
{
    const PositionReading reading = readPosition(text);
    if (!reading.report)
        return std::nullopt;
    const PositionReport &report = *reading.report;
    QString words = QCoreApplication::translate("Checks", "%1, %2, symbol %3%4")
                        .arg(coordinateText(report.latitude), coordinateText(report.longitude))
                        .arg(report.table)
                        .arg(report.symbol);
    constexpr std::array<const char *, 5> Within{"",
                                                 QT_TRANSLATE_NOOP("Checks", "; to within 0.1′"),
                                                 QT_TRANSLATE_NOOP("Checks", "; to within 1′"),
                                                 QT_TRANSLATE_NOOP("Checks", "; to within 10′"),
                                                 QT_TRANSLATE_NOOP("Checks", "; to within 1°")};
    if (report.ambiguity > 0)
        words += QCoreApplication::translate("Checks", Within[std::size_t(report.ambiguity)]);
    if (report.phg)
        words += QCoreApplication::translate("Checks", "; PHG: %1 W, %2 ft, %3 dBi, %4")
                     .arg(report.phg->watts)
                     .arg(report.phg->feet)
                     .arg(report.phg->gain)
                     .arg(directivityName(report.phg->directivity));
    return words;
}

} // namespace Checks
} // namespace telx5
