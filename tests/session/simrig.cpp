#include "simrig.h"

#include "portsettingsstore.h"

#include <QTest>
#include <QTimer>

namespace telx5::testing {

QList<Field> reportedFields()
{
    QList<Field> fields;
    for (int index = 0; index < FieldCount; ++index) {
        const auto field = static_cast<Field>(index);
        if (field != Field::WifiSsid && field != Field::WifiPass && field != Field::Ctcss)
            fields.append(field);
    }
    return fields;
}

QByteArray receivedSoFar(SimDevice &sim, const QByteArray &expected)
{
    // Bytes sent just before a close are read by the device only when events
    // run; reopening its port before that would drop them.
    if (!QTest::qWaitFor([&] { return sim.received() == expected; }, 2000))
        return sim.received();
    return receivedSoFar(sim);
}

QByteArray receivedSoFar(SimDevice &sim)
{
    static const QByteArray Marker = QByteArrayLiteral("\x01marker\x01");
    // The port stays open until the marker has arrived: a device whose port
    // has been closed for a while only looks for its tool now and then.
    QtSerialLink probe;
    if (!probe.setPortName(sim.portPath()) || !probe.open() || !probe.send(Marker))
        return QByteArrayLiteral("(the device's port could not be reached)");
    const bool arrived = QTest::qWaitFor([&sim] { return sim.received().endsWith(Marker); }, 5000);
    probe.close();
    if (!arrived)
        return QByteArrayLiteral("(the marker never arrived)");
    return sim.received().chopped(Marker.size());
}

void pressWhen(QObject &owner, std::function<bool()> due, std::function<void()> press)
{
    auto *poll = new QTimer(&owner);
    poll->setInterval(1);
    QObject::connect(poll, &QTimer::timeout, &owner, [poll, due, press] {
        if (!due())
            return;
        poll->stop();
        press();
    });
    poll->start();
}

SimRig::SimRig(const QString &language)
    : host(link, language), context{host, link, codec, host.chain.parser()}
{
    host.ini = dir.filePath(QStringLiteral("XRVComm.ini"));
}

bool SimRig::start()
{
    sim.setCodePage(codec.codePage());
    if (!sim.start())
        return false;
    host.port = sim.portPath();
    return link.setPortName(sim.portPath());
}

QString SimRig::rememberedPort() const
{
    return PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par5"),
                                        host.ini);
}

} // namespace telx5::testing
