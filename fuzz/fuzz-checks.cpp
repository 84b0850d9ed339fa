// The value checks, on every text a user can type or a file can hold: each
// field of a record takes a piece of the input, and the position box also
// the whole input.
//
// Oracles: every problem names a field of what was checked and says what is
// wrong; the Wi-Fi boxes are judged only when asked; a position without words
// has a problem, one with words no error (a malformed PHG after a sound report
// is a warning beside the words); a passcode keeps to 15 bits.

#include "checks.h"
#include "fuzzsupport.h"
#include "settingsrecord.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

#include <string>

using namespace telx5;

namespace {

QString takeText(FuzzedDataProvider &data)
{
    // Short pieces reach the forms' edges; a long one reaches the limits.
    const std::string piece = data.ConsumeRandomLengthString(80);
    return QString::fromUtf8(piece.data(), qsizetype(piece.size()));
}

bool isWifi(Field field)
{
    return field == Field::WifiSsid || field == Field::WifiPass;
}

void checkRecord(const SettingsRecord &record)
{
    const QList<Problem> withWifi = Checks::problems(record, Checks::Scope::WithWifi);
    const QList<Problem> fileOnly = Checks::problems(record, Checks::Scope::FileSettings);
    for (const Problem &problem : fileOnly) {
        if (isWifi(problem.field))
            fuzz::fail("a settings file's check judged the Wi-Fi boxes", problem.text);
    }
    bool positionProblem = false;
    bool positionError = false;
    for (const Problem &problem : withWifi) {
        if (problem.text.isEmpty())
            fuzz::fail("a problem without words");
        if (problem.field == Field::Version || problem.field == Field::Ctcss)
            fuzz::fail("a problem in a box that is not checked", problem.text);
        if (problem.field == Field::Position) {
            positionProblem = true;
            positionError = positionError || problem.severity == Severity::Error;
        }
    }
    if (withWifi.size() < fileOnly.size())
        fuzz::fail("the Wi-Fi boxes took problems away");
    const QString &position = record.text(Field::Position);
    const bool described = Checks::describePosition(position).has_value();
    if (described ? positionError : !positionProblem)
        fuzz::fail("the position's words and its problems disagree", position);
    const int passcode = Checks::passcode(record.text(Field::Callsign));
    if (passcode < 0 || passcode > 0x7FFF)
        fuzz::fail("a passcode beyond 15 bits", QString::number(passcode));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    fuzz::ensureApplication();
    FuzzedDataProvider data(bytes, size);
    SettingsRecord record;
    for (int index = 0; index < FieldCount && data.remaining_bytes() > 0; ++index)
        record.setText(static_cast<Field>(index), takeText(data));
    checkRecord(record);

    SettingsRecord report;
    report.setText(Field::Position,
                   QString::fromUtf8(reinterpret_cast<const char *>(bytes), qsizetype(size)));
    checkRecord(report);
    return 0;
}
