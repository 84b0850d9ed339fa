#pragma once

#include "codepage.h"
#include "fakehost.h"
#include "hexlog.h"
#include "qtseriallink.h"
#include "simdevice.h"

#include <QTemporaryDir>

#include <functional>

namespace telx5::testing {

// Everything the device has received, once nothing else is on its way: a
// marker sent afterwards must arrive, and is then left out. Only for a
// session that waited after its last line.
QByteArray receivedSoFar(SimDevice &sim);
// The same, after `expected` has arrived or two seconds have passed: for a
// session that closed the port right after its last line.
QByteArray receivedSoFar(SimDevice &sim, const QByteArray &expected);

// Every field the device reports on "AT+READ#": all but the Wi-Fi
// credentials and the CTCSS box.
QList<Field> reportedFields();

// Runs `press` once, from inside a session's wait, as soon as `due` holds,
// the way a user's click lands while a command waits. Stops with `owner`.
void pressWhen(QObject &owner, std::function<bool()> due, std::function<void()> press);

// A session's whole world without the window: the simulated device on its
// pseudo-terminal, the real serial link, and a plain host with its receive
// chain.
class SimRig
{
public:
    explicit SimRig(const QString &language = QStringLiteral("2"));

    // Starts the device and chooses its port, as the user would in the list.
    bool start();
    // The text "XRVComm.ini" remembers as the port, or empty.
    QString rememberedPort() const;
    QByteArray receivedSoFar() { return testing::receivedSoFar(sim); }
    QByteArray receivedSoFar(const QByteArray &expected)
    {
        return testing::receivedSoFar(sim, expected);
    }
    void pressWhen(std::function<bool()> due, std::function<void()> press)
    {
        testing::pressWhen(sim, std::move(due), std::move(press));
    }

    QTemporaryDir dir;
    SimDevice sim;
    QtSerialLink link;
    FakeHost host;
    // The host's receive chain, as the firmware update and the tests use it.
    const TextCodec &codec = host.chain.codec();
    HexLog &hexLog = host.chain.hexLog();
    SessionContext context;
};

} // namespace telx5::testing
