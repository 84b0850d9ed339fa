#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace telx5 {

// What an update that has sent "AT+RESET#" has done so far, written before
// each of its steps, so that whatever ends it (a signal, a pulled cable, a
// crash) the next program knows where the device stands: which image went to
// which port, how far the boot loader has it, and which backup holds the
// settings the update erased. `telx5-cli recover` and the window's "Finish
// the interrupted update" carry the update on from there.
struct UpdateJournal
{
    QString port;
    // The image's file, empty when it came through a pipe; its SHA-256 (hex)
    // and size tell whether a file is still that image.
    QString image;
    QByteArray sha256;
    qint64 size = 0;
    // The settings the device held before the update; empty when none was
    // kept.
    QString backup;
    // Whether the settings are to be written back once the image is in.
    bool keepSettings = true;
    // The update's phase, by the job's name for it ("reset", "blocks", …).
    QString phase;
    // The loader has been sent the header.
    bool headerSent = false;
    // The block whose frame went out last (-1: none yet), how many of its
    // bytes left the port (-1: the program ended while it went out, and
    // nobody knows), and the block the loader asked for after it (-1: no
    // reply was seen).
    int frame = -1;
    int frameBytesSent = -1;
    int askedFor = -1;

    // "telx5-config/updates" in the user's data folder, beside the backups.
    static QString defaultFolder();
    // The journal of updates on `port` in `folder`.
    static QString path(const QString &folder, const QString &port);

    // Written aside and renamed, so that a crash leaves the last whole
    // journal. The reason when it could not be written.
    std::optional<QString> save(const QString &path) const;
    // Nothing when there is no journal; `error` says why a file that is
    // there could not be read.
    static std::optional<UpdateJournal> load(const QString &path, QString *error = nullptr);
};

} // namespace telx5
