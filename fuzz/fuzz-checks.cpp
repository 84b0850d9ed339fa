// The value checks, on every text a user can type or a file can hold: each
// field of a record takes a piece of the input, and the position box also
// the whole input.
//
// Oracles: every problem names a field of what was checked and says what is
// wrong; the Wi-Fi boxes are judged only when asked; a position without words
// has a problem, one with words no error (a malformed PHG after a sound report
// is a warning beside the words, and how it travels is judged apart); a
// passcode keeps to 15 bits; a control character in a text that is always sent
// never passes the gate.

#include "checks.h"
#include "codepage.h"
#include "fuzzsupport.h"
#include "settingsrecord.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>

#include <algorithm>
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
    static const TextCodec codec;
    const QList<Problem> withWifi = Checks::problems(record, Checks::Scope::WithWifi, codec);
    const QList<Problem> fileOnly = Checks::problems(record, Checks::Scope::FileSettings, codec);
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
            positionError = positionError || (problem.severity == Severity::Error &&
                                              problem.barrier == Barrier::None);
        }
    }
    if (withWifi.size() < fileOnly.size())
        fuzz::fail("the Wi-Fi boxes took problems away");
    const QString &position = record.text(Field::Position);
    const bool described = Checks::describePosition(position).has_value();
    if (described ? positionError : !positionProblem)
        fuzz::fail("the position's words and its problems disagree", position);
    const QList<Problem> refused = Checks::refusals(fileOnly, {.lossy = true});
    for (Field field : {Field::Position, Field::Comment, Field::Filter}) {
        const QString &text = record.text(field);
        const bool control = std::any_of(text.cbegin(), text.cend(), [](QChar character) {
            return character.unicode() < 0x20 || character.unicode() == 0x7F;
        });
        const bool stopped = std::any_of(refused.cbegin(), refused.cend(),
                                         [field](const Problem &p) { return p.field == field; });
        if (control && !stopped)
            fuzz::fail("a control character passed the gate", text);
    }
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
