#include "windowrig.h"

#include "portsettingsstore.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace telx5::testing {

namespace {

std::unique_ptr<MainWindow> startWindow(const QLocale &locale, const QTemporaryDir &dir,
                                        Dialogs &dialogs, SerialLink &link,
                                        const QString &extraPort, const QString &backupFolder = {},
                                        const QString &journalFolder = {})
{
    MainWindow::Options options;
    options.locale = locale;
    options.iniPath = dir.filePath(QStringLiteral("XRVComm.ini"));
    options.extraPort = extraPort;
    options.backupFolder = backupFolder;
    options.journalFolder = journalFolder;
    return std::make_unique<MainWindow>(options, dialogs, &link);
}

} // namespace

WindowRig::WindowRig(const QLocale &locale, const QString &extraPort)
    : window(startWindow(locale, dir, dialogs, link, extraPort))
{}

QString WindowRig::iniPath() const
{
    return window->iniPath();
}

QString WindowRig::shownText(const QString &name) const
{
    QObject *object = window->findChild<QObject *>(name);
    if (auto *label = qobject_cast<QLabel *>(object))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(object))
        return button->text();
    if (auto *frame = qobject_cast<QGroupBox *>(object))
        return frame->title();
    if (auto *edit = qobject_cast<QLineEdit *>(object))
        return edit->text();
    if (auto *combo = qobject_cast<QComboBox *>(object))
        return combo->currentText();
    return QStringLiteral("<no control %1>").arg(name);
}

QStringList WindowRig::octetBoxNames()
{
    QStringList names;
    for (const char *address : {"ip", "mask", "gate", "dns"}) {
        for (int octet = 1; octet <= 4; ++octet)
            names << QStringLiteral("%1Octet%2").arg(QLatin1String(address)).arg(octet);
    }
    return names;
}

void WindowRig::pick(QComboBox *combo, const QString &entry)
{
    // The port list is filled anew as it drops down: the row is looked up then.
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    QTRY_VERIFY(view->isVisible());
    const int row = combo->findText(entry, Qt::MatchExactly);
    QVERIFY2(row >= 0, qPrintable(entry));
    const QRect item = view->visualRect(view->model()->index(row, combo->modelColumn()));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!view->isVisible());
}

bool SimWindowRig::start(const QLocale &locale)
{
    const bool chinese = locale.language() == QLocale::Chinese;
    sim.setCodePage(chinese ? CodePage::Gb18030 : CodePage::Windows1252);
    if (!sim.start())
        return false;
    window = startWindow(locale, dir, dialogs, link, sim.portPath(), backupFolder, journalFolder);
    dialogs.clear();
    return true;
}

QPushButton *SimWindowRig::button(const char *name) const
{
    return control<QPushButton>(name);
}

void SimWindowRig::click(const char *name) const
{
    QTest::mouseClick(button(name), Qt::LeftButton);
}

QString SimWindowRig::shownStatus() const
{
    return control<QPlainTextEdit>("statusBox")->toPlainText();
}

QString SimWindowRig::rememberedPort() const
{
    return PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par5"),
                                        window->iniPath());
}

} // namespace telx5::testing
