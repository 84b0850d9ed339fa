// The receive path: device bytes in chunks of 1 to 128 (the input chooses)
// through the hex log, the line buffer and the parser, under both code pages.
//
// Oracles: the parser run after every byte leaves the same record as the
// parser run once on each line cut at CR; the line never outgrows its cap;
// the hex log's front, back and length are exact.

#include "deviceview.h"
#include "fakelink.h"
#include "fuzzsupport.h"
#include "receivechain.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <array>

using namespace telx5;

namespace {

// The log's texts before the first byte: the window's start-up text, and the
// two spaces a firmware update leaves.
const std::array<QString, 3> InitialLogs = {QStringLiteral("hexLogBox"), QStringLiteral("  "),
                                            QStringLiteral(" C5 ")};

QString describe(const RecordView &record, const Flags &flags)
{
    QStringList parts;
    for (int field = 0; field < FieldCount; ++field)
        parts << QString::number(field) + QLatin1Char('=') + record.text(Field(field));
    parts << QStringLiteral("octets %1 flags %2%3%4%5%6")
                 .arg(record.octetBoxesEnabled())
                 .arg(flags.connectOk)
                 .arg(flags.readEnd)
                 .arg(flags.freqSaved)
                 .arg(flags.wifiWriteOk)
                 .arg(flags.eeramReset);
    return parts.join(QLatin1Char('|'));
}

bool sameState(const RecordView &a, const Flags &fa, const RecordView &b, const Flags &fb)
{
    for (int field = 0; field < FieldCount; ++field) {
        if (a.text(Field(field)) != b.text(Field(field)))
            return false;
    }
    return a.octetBoxesEnabled() == b.octetBoxesEnabled() && fa.connectOk == fb.connectOk &&
           fa.readEnd == fb.readEnd && fa.freqSaved == fb.freqSaved &&
           fa.wifiWriteOk == fb.wifiWriteOk && fa.eeramReset == fb.eeramReset;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The bytes come from the front of the input, the choices from its end,
    // so a seed reads as the device's answer.
    FuzzedDataProvider input(data, size);
    const CodePage page = input.ConsumeBool() ? CodePage::Gb18030 : CodePage::Windows1252;
    const QString initialLog = InitialLogs[input.ConsumeIntegralInRange<size_t>(0, 2)];
    const auto cut = input.ConsumeIntegralInRange<qsizetype>(0, HexLog::FrontKeep);

    testing::FakeLink link;
    link.setPortName(QStringLiteral("/dev/ttyFUZZ"));
    link.open();
    RecordView record;
    ReceiveChain chain(link, record, page);
    chain.hexLog().setText(initialLog);
    const Flags &flags = chain.flags();
    const LineBuffer &lineBuffer = chain.lineBuffer();
    const HexLog &hexLog = chain.hexLog();

    QByteArray all;
    while (input.remaining_bytes() > 0) {
        const auto length = input.ConsumeIntegralInRange<size_t>(1, 128);
        const std::string chunk = input.ConsumeBytesAsString(length);
        const QByteArray bytes(chunk.data(), qsizetype(chunk.size()));
        all += bytes;
        link.arrive(bytes);
        if (lineBuffer.line().size() > LineBuffer::MaxLength)
            fuzz::fail("the line outgrew its cap", QString::number(lineBuffer.line().size()));
    }

    // The same bytes cut at CR, LF dropped and each line cut at the cap, as
    // a settings file's lines are parsed: once each. The last line is parsed
    // as far as it came.
    const TextCodec lineCodec(page);
    RecordView byLine;
    Flags byLineFlags;
    LineParser lineParser(byLine, byLineFlags, lineCodec);
    QByteArray line;
    for (const char byte : std::as_const(all)) {
        if (byte == '\r') {
            lineParser.parseLine(line);
            line.clear();
        } else if (byte != '\n' && line.size() < LineBuffer::MaxLength) {
            line.append(byte);
        }
    }
    lineParser.parseLine(line);
    if (!sameState(record, flags, byLine, byLineFlags))
        fuzz::fail("parsing after every byte and once per line disagree",
                   QStringLiteral("per byte: ") + describe(record, flags) +
                       QStringLiteral("\nper line: ") + describe(byLine, byLineFlags));

    // The log: the initial text without its surrounding spaces (only once a
    // byte has come), then two upper-case hex digits per byte.
    const QString expected =
        all.isEmpty() ? initialLog
                      : initialLog.trimmed() + QString::fromLatin1(all.toHex().toUpper());
    if (hexLog.length() != expected.size())
        fuzz::fail("hex log length",
                   QStringLiteral("%1, expected %2").arg(hexLog.length()).arg(expected.size()));
    if (hexLog.front(HexLog::FrontKeep) != expected.left(HexLog::FrontKeep))
        fuzz::fail("hex log front", hexLog.front(64) + QStringLiteral(" vs ") + expected.left(64));
    if (hexLog.back(HexLog::TailKeep) != expected.right(HexLog::TailKeep))
        fuzz::fail("hex log back", hexLog.back(64) + QStringLiteral(" vs ") + expected.right(64));
    if (hexLog.front(cut) != expected.left(cut))
        fuzz::fail("hex log front(n)", QString::number(cut));
    return 0;
}
