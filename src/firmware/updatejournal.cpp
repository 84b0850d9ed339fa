#include "updatejournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace telx5 {

namespace {

constexpr char Header[] = "[telx5-update]";
// A journal is a few hundred bytes.
constexpr qint64 MostBytes = 64 * 1024;

// A path may hold any byte but NUL, a line break included.
QByteArray encoded(const QString &text)
{
    return QUrl::toPercentEncoding(text, "/:+-_.~@,");
}

QString decoded(const QByteArray &text)
{
    return QUrl::fromPercentEncoding(text);
}

} // namespace

QString UpdateJournal::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/telx5-config/updates");
}

QString UpdateJournal::path(const QString &folder, const QString &port)
{
    QString name = port;
    for (QChar &character : name) {
        const char16_t code = character.unicode();
        const bool kept = (code >= u'a' && code <= u'z') || (code >= u'A' && code <= u'Z') ||
                          (code >= u'0' && code <= u'9') || code == u'-' || code == u'.';
        if (!kept)
            character = QLatin1Char('_');
    }
    return QDir(folder).filePath(name + QStringLiteral(".journal"));
}

std::optional<QString> UpdateJournal::save(const QString &path) const
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("%1: the folder cannot be made").arg(QDir::toNativeSeparators(path));
    QByteArray text = QByteArray(Header) + '\n';
    const auto line = [&text](const char *key, const QByteArray &value) {
        text += QByteArray(key) + '=' + value + '\n';
    };
    line("port", encoded(port));
    line("image", encoded(image));
    line("sha256", sha256);
    line("size", QByteArray::number(size));
    line("backup", encoded(backup));
    line("keep-settings", keepSettings ? "1" : "0");
    line("phase", encoded(phase));
    line("header-sent", headerSent ? "1" : "0");
    line("frame", QByteArray::number(frame));
    line("frame-bytes-sent", QByteArray::number(frameBytesSent));
    line("asked-for", QByteArray::number(askedFor));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return std::nullopt;
}

std::optional<UpdateJournal> UpdateJournal::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    const auto fail = [&](const QString &why) -> std::optional<UpdateJournal> {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why);
        return std::nullopt;
    };
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray text = file.read(MostBytes);
    const QList<QByteArray> lines = text.split('\n');
    if (lines.value(0) != Header)
        return fail(QStringLiteral("not an update journal"));
    UpdateJournal journal;
    bool numbersOk = true;
    const auto number = [&numbersOk](const QByteArray &value) {
        bool ok = false;
        const qint64 parsed = value.toLongLong(&ok);
        numbersOk = numbersOk && ok;
        return parsed;
    };
    for (const QByteArray &line : lines.mid(1)) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (key == "port")
            journal.port = decoded(value);
        else if (key == "image")
            journal.image = decoded(value);
        else if (key == "sha256")
            journal.sha256 = value;
        else if (key == "size")
            journal.size = number(value);
        else if (key == "backup")
            journal.backup = decoded(value);
        else if (key == "keep-settings")
            journal.keepSettings = value == "1";
        else if (key == "phase")
            journal.phase = decoded(value);
        else if (key == "header-sent")
            journal.headerSent = value == "1";
        else if (key == "frame")
            journal.frame = int(number(value));
        else if (key == "frame-bytes-sent")
            journal.frameBytesSent = int(number(value));
        else if (key == "asked-for")
            journal.askedFor = int(number(value));
    }
    if (!numbersOk || journal.phase.isEmpty() || journal.sha256.isEmpty())
        return fail(QStringLiteral("the journal is damaged"));
    return journal;
}

} // namespace telx5
