#include "fakelink.h"
#include "ports.h"
#include "simlink.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace telx5;
using telx5::testing::FakeLink;
using telx5::testing::SimLink;

class TestPorts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesFollowThePlatform();
    void startUpPortComesFromTheRememberedText_data();
    void startUpPortComesFromTheRememberedText();
    void pickingAnEntryChoosesIt_data();
    void pickingAnEntryChoosesIt();
    void pickingWhileOpenKeepsThePort();
    void probeListsOpenablePortsInOrder();
    void portListShowsKnownAdaptersFirst_data();
    void portListShowsKnownAdaptersFirst();
    void udevRuleNamesTheKnownAdapters();
    void noPermissionNamesTheNodesGroup_data();
    void noPermissionNamesTheNodesGroup();
};

namespace {

// "path|description|vvvv:pppp", description and id may be empty.
Ports::PortFacts facts(const QString &row)
{
    const QStringList parts = row.split(QRegularExpression(QStringLiteral("[|:]")));
    Ports::PortFacts port{parts.at(0), parts.at(1), parts.size() > 3, {}};
    if (port.hasUsbId)
        port.usbId = {parts.at(2).toUShort(nullptr, 16), parts.at(3).toUShort(nullptr, 16)};
    return port;
}

} // namespace

void TestPorts::namesFollowThePlatform()
{
    QCOMPARE(Ports::namePrefix(), QStringLiteral("/dev/"));
    QVERIFY(Ports::isPseudoTerminal(QStringLiteral("/dev/pts/3")));
    QVERIFY(!Ports::isPseudoTerminal(QStringLiteral("/dev/ttyUSB0")));
}

void TestPorts::startUpPortComesFromTheRememberedText_data()
{
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<QString>("chosen");
    // The port the text names, never another one.
    QTest::newRow("device path") << QStringLiteral("/dev/ttyUSB3")
                                 << QStringLiteral("/dev/ttyUSB3");
    QTest::newRow("name without its folder")
        << QStringLiteral("ttyUSB0") << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("pseudo-terminal") << QStringLiteral("pts/3") << QStringLiteral("/dev/pts/3");
    QTest::newRow("no file yet: no port") << QString() << QString();
    QTest::newRow("windows name") << QStringLiteral("COM3") << QStringLiteral("/dev/COM3");
}

void TestPorts::startUpPortComesFromTheRememberedText()
{
    QFETCH(QString, remembered);
    QFETCH(QString, chosen);
    FakeLink link;
    link.setPortName(QStringLiteral("/dev/ttyS0"));
    link.open();
    Ports::configurePort(link, remembered);
    QVERIFY(!link.isOpen());
    QCOMPARE(link.portName(), chosen);
}

void TestPorts::pickingAnEntryChoosesIt_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("first usb adapter") << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("tenth and later ports too") << QStringLiteral("/dev/ttyS12");
    QTest::newRow("simulated device") << QStringLiteral("/dev/pts/4");
}

void TestPorts::pickingAnEntryChoosesIt()
{
    QFETCH(QString, entry);
    FakeLink link;
    link.setPortName(QStringLiteral("/dev/ttyS0"));
    QVERIFY(Ports::choosePort(link, entry));
    QCOMPARE(link.portName(), entry);
    QVERIFY(!link.isOpen());
}

void TestPorts::pickingWhileOpenKeepsThePort()
{
    SimLink sim;
    const QString error = sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!Ports::choosePort(sim.link, QStringLiteral("/dev/ttyUSB0")));
    QCOMPARE(sim.link.portName(), sim.device.portPath());
    QVERIFY(sim.link.isOpen());
    QVERIFY(sim.link.send("\r\nSETUP#\r\n"));
    QTRY_COMPARE(sim.arrived, QByteArray("CONNECT\r\n"));
}

void TestPorts::probeListsOpenablePortsInOrder()
{
    const QStringList candidates = Ports::candidatePorts();
    QStringList present;
    for (const Ports::PortFacts &port : Ports::presentPorts())
        present << port.path;
    QCOMPARE(candidates, present);
    for (const QString &port : candidates)
        QVERIFY2(port.startsWith(Ports::namePrefix()), qPrintable(port));

    // The probe keeps the candidates' order and lists only ports it could
    // open; none stays open afterwards, so each can be opened again.
    const QStringList probed = Ports::probePorts();
    qsizetype at = 0;
    for (const QString &port : probed) {
        at = candidates.indexOf(port, at);
        QVERIFY2(at >= 0, qPrintable(port));
        QtSerialLink link;
        link.setPortName(port);
        QString error;
        QVERIFY2(link.open(&error), qPrintable(error));
        link.close();
    }
}

void TestPorts::portListShowsKnownAdaptersFirst_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("the adapter before the board's own port")
        << QStringList{"/dev/ttyS0||", "/dev/ttyUSB0|CP2102 USB to UART|10c4:ea60"}
        << QStringList{QStringLiteral("/dev/ttyUSB0 \u2014 CP2102 USB to UART (10c4:ea60)"),
                       "/dev/ttyS0"};
    QTest::newRow("known adapters by name, then the others")
        << QStringList{"/dev/ttyACM0|Pico|2e8a:000a", "/dev/ttyUSB1|USB Serial|1a86:7523",
                       "/dev/ttyUSB0|FT232R USB UART|0403:6001"}
        << QStringList{QStringLiteral("/dev/ttyUSB0 \u2014 FT232R USB UART (0403:6001)"),
                       QStringLiteral("/dev/ttyUSB1 \u2014 USB Serial (1a86:7523)"),
                       QStringLiteral("/dev/ttyACM0 \u2014 Pico (2e8a:000a)")};
    QTest::newRow("another chip of a known maker is not one of them")
        << QStringList{"/dev/ttyUSB0|FT2232H|0403:6010", "/dev/ttyUSB1||067b:2303"}
        << QStringList{"/dev/ttyUSB1 (067b:2303)",
                       QStringLiteral("/dev/ttyUSB0 \u2014 FT2232H (0403:6010)")};
    QTest::newRow("a description without an id")
        << QStringList{"/dev/ttyS1|16550A UART|"}
        << QStringList{QStringLiteral("/dev/ttyS1 \u2014 16550A UART")};
}

void TestPorts::portListShowsKnownAdaptersFirst()
{
    QFETCH(QStringList, present);
    QFETCH(QStringList, shown);
    QList<Ports::PortFacts> ports;
    for (const QString &row : std::as_const(present))
        ports << facts(row);
    QStringList labels;
    for (const Ports::PortFacts &port : Ports::orderPorts(ports))
        labels << Ports::portLabel(port);
    QCOMPARE(labels, shown);
}

// The udev package's rule and the port list speak of the same adapters.
void TestPorts::udevRuleNamesTheKnownAdapters()
{
    QFile rule(QStringLiteral(TELX5_UDEV_RULE));
    QVERIFY2(rule.open(QIODevice::ReadOnly), qPrintable(rule.fileName()));
    const QRegularExpression match(QLatin1String(
        R"re(ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})")re"));
    QList<Ports::UsbId> named;
    for (auto it = match.globalMatch(QString::fromUtf8(rule.readAll())); it.hasNext();) {
        const QRegularExpressionMatch ids = it.next();
        named.append(
            {ids.captured(1).toUShort(nullptr, 16), ids.captured(2).toUShort(nullptr, 16)});
    }
    QCOMPARE(named, Ports::knownAdapters());
}

void TestPorts::noPermissionNamesTheNodesGroup_data()
{
    QTest::addColumn<QString>("groupName");
    QTest::addColumn<QString>("reason");
    QTest::newRow("uucp") << "uucp"
                          << "no permission: the port belongs to the group \"uucp\"; join it with "
                             "\"sudo usermod -aG uucp $USER\", then log out and in again";
    QTest::newRow("root's group is no group to join") << "root"
                                                      << "no permission";
}

void TestPorts::noPermissionNamesTheNodesGroup()
{
    QFETCH(QString, groupName);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QByteArray node = QFile::encodeName(dir.filePath(QStringLiteral("ttyUSB0")));
    const struct group *entry = ::getgrnam(groupName.toUtf8().constData());
    if (!entry)
        QSKIP("no such group on this system");
    const gid_t gid = entry->gr_gid;
    // A node of its own, with a serial port's numbers; never opened.
    if (::mknod(node.constData(), S_IFCHR | 0660, makedev(188, 0)) != 0 ||
        ::chown(node.constData(), ::geteuid(), gid) != 0)
        QSKIP("making a device node of another group needs root");
    struct stat status = {};
    QCOMPARE(::stat(node.constData(), &status), 0);
    QCOMPARE(QString::fromUtf8(::getgrgid(status.st_gid)->gr_name), groupName);
    QCOMPARE(Ports::noPermissionReason(QFile::decodeName(node)), reason);
}

QTEST_GUILESS_MAIN(TestPorts)
#include "tst_ports.moc"
