#pragma once

#include "host.h"
#include "mainwindow.h"
#include "seriallink.h"

#include <QList>
#include <QLocale>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QComboBox;

namespace telx5::testing {

// Answers every box and dialog at once and remembers what it was shown.
class FakeDialogs final : public Dialogs
{
public:
    void message(const QString &text, const QString &title = {}) override
    {
        messages.append({text, title});
    }
    QString openFileName(const FileRequest &request) override
    {
        requests.append(request);
        return fileToChoose;
    }
    QString saveFileName(const FileRequest &request) override
    {
        requests.append(request);
        return fileToChoose;
    }

    QList<QPair<QString, QString>> messages;
    QList<FileRequest> requests;
    // What the file dialogs answer; empty: cancelled.
    QString fileToChoose;
};

// A port that is never really opened; `open` says whether it claims to be.
class FakeLink final : public SerialLink
{
    Q_OBJECT
public:
    bool setPortName(const QString &name) override;
    QString portName() const override { return m_name; }
    bool isOpen() const override { return opened; }
    bool open(QString *error = nullptr) override;
    void close() override { opened = false; }
    bool send(QByteArrayView bytes) override;

    bool opened = false;

private:
    QString m_name;
};

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
    FakeLink link;
    std::unique_ptr<MainWindow> window;
};

} // namespace telx5::testing
