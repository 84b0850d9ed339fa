// The settings file: a record made of the input's texts is saved, loaded into
// a fresh record and saved again, under both code pages.
//
// Oracles: the saved file is the header, an empty line and the 19 settings
// lines in order, each ending in CR LF; it loads to the end, and every text
// the format carries comes back as the code page carries it (a choice field
// as its entry, or as the file's fall-back for a text that is none); save ->
// load -> save gives the same file, and once loaded any record does.

#include "devicesettings.h"
#include "deviceview.h"
#include "entryrules.h"
#include "fuzzsupport.h"
#include "linebuffer.h"
#include "lineparser.h"
#include "settingsfile.h"
#include "settingstable.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QList>
#include <QStringList>

#include <iterator>

using namespace telx5;

namespace {

// The fields a settings file carries, each with its choice list (empty for a
// plain text box).
struct Saved
{
    Field field;
    QStringList choices;
};

QList<Saved> savedFields()
{
    using namespace DeviceSettings;
    QList<Saved> fields{{Field::Callsign, {}},
                        {Field::Ssid, ssidChoices()},
                        {Field::Pass, {}},
                        {Field::Dhcp, dhcpChoices()}};
    for (Address address : AllAddresses)
        for (int index = 0; index < 4; ++index)
            fields.append({octetField(address, index), {}});
    fields << Saved{Field::Position, {}} << Saved{Field::Comment, {}}
           << Saved{Field::Server, serverChoices()} << Saved{Field::SentTime, {}}
           << Saved{Field::Filter, {}} << Saved{Field::Backlight, backlightChoices()}
           << Saved{Field::Freq, {}} << Saved{Field::Unit, unitChoices()}
           << Saved{Field::Digi, {QStringLiteral("0"), QStringLiteral("1")}}
           << Saved{Field::Mod, modChoices()} << Saved{Field::Path, pathChoices()}
           << Saved{Field::Alias, aliasChoices()};
    return fields;
}

struct Loaded
{
    RecordView record;
    SettingsFile::LoadResult result;
};

Loaded load(const QByteArray &file, const TextCodec &codec)
{
    Loaded loaded;
    Flags flags;
    LineBuffer lineBuffer;
    LineParser parser(loaded.record, flags, codec);
    loaded.result = SettingsFile::load(file, lineBuffer, parser, loaded.record, codec);
    return loaded;
}

QString show(const QByteArray &file)
{
    return QString::fromLatin1(file.toPercentEncoding(" :,#[]"));
}

void checkLayout(const QByteArray &file)
{
    if (!file.endsWith("\r\n") || file.count('\r') != 21 || file.count("\r\n") != 21)
        fuzz::fail("a saved file has 21 lines, each ending in CR LF", show(file));
    const QList<QByteArray> lines = file.chopped(2).split('\r');
    if (lines.at(0) != "[TELX5]" || lines.at(1) != "\n")
        fuzz::fail("a saved file begins with [TELX5] and an empty line", show(file));
    const QList<Setting> held = SettingsTable::fileSettings();
    for (qsizetype i = 0; i < held.size(); ++i) {
        const QByteArray start =
            QByteArray("\n") + SettingsTable::fileKeyword(held.at(i)).data() + ':';
        if (!lines.at(i + 2).startsWith(start))
            fuzz::fail("the settings lines in the saved order", show(file));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QList<Saved> fields = savedFields();

    FuzzedDataProvider input(data, size);
    const TextCodec codec(input.ConsumeBool() ? CodePage::Gb18030 : CodePage::Windows1252);
    // What the code page makes of a text on its way through a file.
    const auto carried = [&codec](const QString &text) { return codec.decode(codec.encode(text)); };

    // Each field an entry of its list or the input's text in the code page,
    // without CR: the device's lines and a file's lines end at it, so no text
    // read from either holds one.
    RecordView record;
    for (const Saved &saved : fields) {
        QString text;
        if (!saved.choices.isEmpty() && input.ConsumeBool()) {
            text = saved.choices.at(
                input.ConsumeIntegralInRange<qsizetype>(0, saved.choices.size() - 1));
        } else {
            const std::string bytes = input.ConsumeRandomLengthString(80);
            text = codec.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
            text.remove(QLatin1Char('\r'));
        }
        record.setText(saved.field, text);
    }

    const QByteArray first = SettingsFile::save(record.record(), codec);
    checkLayout(first);
    const Loaded loaded = load(first, codec);
    if (!loaded.result.complete() || !loaded.result.foundSettings)
        fuzz::fail("a saved file loads to its end", show(first));

    const auto expect = [&](Field field, const QString &value) {
        const QString wanted =
            EntryRules::trimsOnChange(field) ? EntryRules::trimSpaces(value) : value;
        if (loaded.record.text(field) != wanted)
            fuzz::fail("a field loads back as saved",
                       QStringLiteral("field %1: \"%2\", saved \"%3\"\n")
                               .arg(int(field))
                               .arg(loaded.record.text(field), wanted) +
                           show(first));
    };
    for (Field field :
         {Field::Pass, Field::Position, Field::Comment, Field::Server, Field::Filter, Field::Freq})
        expect(field, carried(record.text(field)));
    // The callsign is padded to six characters, and a '-' in it would end it.
    const QString callsign = carried(record.text(Field::Callsign));
    if (!callsign.contains(QLatin1Char('-'))) {
        expect(Field::Callsign, callsign.leftJustified(6, QLatin1Char(' ')));
        expect(Field::Ssid, carried(record.text(Field::Ssid)));
    }
    // An octet ends at its comma; the last one takes the rest of the line.
    for (Address address : AllAddresses) {
        bool commas = false;
        for (int index = 0; index < 3; ++index)
            commas = commas ||
                     carried(record.text(octetField(address, index))).contains(QLatin1Char(','));
        for (int index = 0; index < 4 && !commas; ++index)
            expect(octetField(address, index), carried(record.text(octetField(address, index))));
    }
    expect(Field::SentTime,
           carried(record.text(Field::SentTime).rightJustified(4, QLatin1Char('0'))));
    const bool staticIp = WireCodes::isStaticAddressing(record.text(Field::Dhcp));
    expect(Field::Dhcp, staticIp ? DeviceSettings::StaticIp : QStringLiteral("DHCP"));
    if (loaded.record.octetBoxesEnabled() != staticIp)
        fuzz::fail("the octet boxes are enabled for a static address only", show(first));
    expect(Field::Digi, record.text(Field::Digi) == QStringLiteral("1") ? QStringLiteral("1")
                                                                        : QStringLiteral("0"));
    const auto entryOrFallback = [&](Field field, const QStringList &entries,
                                     const QString &fallback) {
        const QString text = record.text(field);
        expect(field, entries.contains(text) ? text : fallback);
    };
    entryOrFallback(Field::Unit, DeviceSettings::unitChoices(), QStringLiteral("km"));
    entryOrFallback(Field::Path, DeviceSettings::pathChoices(), QStringLiteral("WIDE1-1"));
    entryOrFallback(Field::Alias, DeviceSettings::aliasChoices(), QStringLiteral("WIDE1+WIDE2"));
    if (DeviceSettings::backlightChoices().contains(record.text(Field::Backlight)))
        expect(Field::Backlight, record.text(Field::Backlight));
    if (DeviceSettings::modChoices().contains(record.text(Field::Mod)))
        expect(Field::Mod, record.text(Field::Mod));

    // A record the format holds as it stands saves to the same file after a
    // load; any other one does from its first load on. Three texts it cannot
    // hold: a '-' in the callsign ends it, the level takes one character, and
    // a backlight of "0" reads as "ON".
    const QByteArray second = SettingsFile::save(loaded.record.record(), codec);
    checkLayout(second);
    const QString mod = carried(record.text(Field::Mod));
    const bool holdsAsItStands =
        !callsign.contains(QLatin1Char('-')) &&
        (mod.size() <= 1 || (mod.size() == 2 && mod.at(0).isHighSurrogate())) &&
        record.text(Field::Backlight) != QStringLiteral("0");
    if (holdsAsItStands && second != first)
        fuzz::fail("save -> load -> save gives the same file",
                   show(first) + QStringLiteral("\nthen\n") + show(second));
    const QByteArray third = SettingsFile::save(load(second, codec).record.record(), codec);
    if (third != second)
        fuzz::fail("save -> load -> save is a fixed point",
                   show(second) + QStringLiteral("\nthen\n") + show(third));
    return 0;
}
