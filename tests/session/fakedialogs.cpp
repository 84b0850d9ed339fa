#include "fakedialogs.h"

#include <QFileInfo>

namespace telx5::testing {

void FakeDialogs::message(const QString &text, const QString &title)
{
    messages.append(text);
    titles.append(title);
    if (onMessage)
        onMessage();
}

bool FakeDialogs::question(const QString &text, const QString &)
{
    questions.append(text);
    return answer;
}

QString FakeDialogs::openFileName(const FileRequest &request)
{
    requests.append(request);
    return fileToChoose;
}

// As the file dialog does: a name typed without a suffix gets the default one.
QString FakeDialogs::saveFileName(const FileRequest &request)
{
    requests.append(request);
    if (fileToChoose.isEmpty() || request.defaultSuffix.isEmpty() ||
        !QFileInfo(fileToChoose).suffix().isEmpty())
        return fileToChoose;
    return fileToChoose + QLatin1Char('.') + request.defaultSuffix;
}

QList<QPair<QString, QString>> FakeDialogs::boxes() const
{
    QList<QPair<QString, QString>> shown;
    for (qsizetype i = 0; i < messages.size(); ++i)
        shown.append({messages.at(i), titles.value(i)});
    return shown;
}

void FakeDialogs::clear()
{
    messages.clear();
    titles.clear();
    questions.clear();
    requests.clear();
}

} // namespace telx5::testing
