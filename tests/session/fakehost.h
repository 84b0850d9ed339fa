#pragma once

#include "deviceview.h"
#include "fakedialogs.h"
#include "host.h"
#include "receivechain.h"
#include "translation.h"

#include <QMap>
#include <QStringList>

namespace telx5::testing {

// A plain record that remembers every text the status box has shown, so a
// test can see the attempts a session counted through.
class RecordingRecord : public RecordView
{
public:
    void setStatusText(const QString &text) override;
    void appendStatus(const QString &text) override;

    QStringList statusHistory;
};

// The window's state without the window: a plain record that the receive
// chain on `link` fills, the buttons' captions and enabled states as the
// window shows them after start-up.
class FakeHost : public SessionHost
{
public:
    explicit FakeHost(SerialLink &link, const QString &language = QStringLiteral("2"));

    DeviceView &settings() override { return record; }
    Flags &flags() override { return flagState; }
    LineBuffer &lineBuffer() override { return lineBufferState; }
    Dialogs &dialogs() override { return dialogState; }
    QString language() const override { return languageText; }

    QString stepText() const override { return step; }
    void setStepText(const QString &text) override { step = text; }

    QString caption(Button button) const { return captions.value(button); }
    void setCaption(Button button, const QString &text) override;
    bool isEnabled(Button button) const override { return !disabled.contains(button); }
    void setEnabled(Button button, bool enabled) override;

    QString portText() const override { return port; }
    void setPortText(const QString &text) override { port = text; }
    QString iniPath() const override { return ini; }
    QString backupFolder() const override { return backups; }

    QString languageText;
    // The sessions speak Chinese while a Chinese host lives, as in the window.
    Translation translation{isChinese()};
    RecordingRecord record;
    ReceiveChain chain;
    // The chain's flags and line, where the tests set and read them.
    Flags &flagState = chain.flags();
    LineBuffer &lineBufferState = chain.lineBuffer();
    FakeDialogs dialogState;
    QString step = QStringLiteral("0/10");
    QMap<Button, QString> captions;
    QList<Button> disabled{Button::Write};
    QString port;
    QString ini;
    QString backups;
    // Every caption the Read button has shown, in order.
    QStringList readCaptions;
};

} // namespace telx5::testing
