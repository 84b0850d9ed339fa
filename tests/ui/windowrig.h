#pragma once

#include "fakedialogs.h"
#include "fakelink.h"
#include "mainwindow.h"
#include "qtseriallink.h"
#include "seriallink.h"
#include "simdevice.h"

#include <QList>
#include <QLocale>
#include <QObject>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

class QComboBox;
class QPushButton;

namespace telx5::testing {

// The window built as at program start, over a private INI folder.
class WindowRig
{
public:
    explicit WindowRig(const QLocale &locale = QLocale(QLocale::English, QLocale::UnitedKingdom),
                       const QString &extraPort = {});

    QString iniPath() const;

    template <typename T> T *control(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QString shownText(const QString &name) const;

    // The sixteen address octet boxes, left to right, IP to DNS.
    static QStringList octetBoxNames();

    // Picks an entry of a list with the mouse, as the user does.
    static void pick(QComboBox *combo, const QString &entry);

    QTemporaryDir dir;
    FakeDialogs dialogs;
    FakeLink link{FakeLink::Opens::Never};
    std::unique_ptr<MainWindow> window;
};

// The real window and serial port with the simulated device on its
// pseudo-terminal, listed and chosen at start-up.
class SimWindowRig
{
public:
    // Starts the device, speaking the window's code page, then the window;
    // the start-up's language box is forgotten.
    bool start(const QLocale &locale = QLocale(QLocale::English, QLocale::UnitedStates));

    template <typename T> T *control(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QPushButton *button(const char *name) const;
    void click(const char *name) const;
    QString shownStatus() const;
    // The port "XRVComm.ini" remembers, or empty.
    QString rememberedPort() const;

    QTemporaryDir dir;
    // Where the window keeps and lists its backups, and where an update
    // keeps its journal; empty: none.
    QString backupFolder;
    QString journalFolder;
    SimDevice sim;
    FakeDialogs dialogs;
    QtSerialLink link;
    std::unique_ptr<MainWindow> window;
};

// Takes the addresses the window would hand to the file manager or the
// browser (QDesktopServices::setUrlHandler(scheme, &catcher, "open")).
class UrlCatcher : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }

public:
    QList<QUrl> opened;
};

} // namespace telx5::testing
