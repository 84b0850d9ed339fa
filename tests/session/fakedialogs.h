#pragma once

#include "host.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <functional>

namespace telx5::testing {

// Answers every box and file dialog at once and remembers what it was shown.
class FakeDialogs final : public Dialogs
{
public:
    void message(const QString &text, const QString &title = {}) override;
    bool question(const QString &text, const QString &title = {}) override;
    QString openFileName(const FileRequest &request) override;
    QString saveFileName(const FileRequest &request) override;

    // Each box's text and title, in the order shown.
    QList<QPair<QString, QString>> boxes() const;
    // Forgets the boxes, questions and requests so far (a start-up's language box).
    void clear();

    QStringList messages; // the boxes' texts
    QStringList titles;   // their titles; empty where the default stays
    // Runs inside message(), where a real box would wait for the user.
    std::function<void()> onMessage;

    QStringList questions; // the questions' texts, in the order asked
    bool answer = false;   // to every question: true for Yes

    QList<FileRequest> requests;
    // What every file dialog answers; empty: cancelled.
    QString fileToChoose;
};

} // namespace telx5::testing
