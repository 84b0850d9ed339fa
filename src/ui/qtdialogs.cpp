#include "qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace telx5 {

namespace {

QString chooseFile(const Dialogs::FileRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.directory,
                       request.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // The name is taken as typed: no suffix is added behind the user's back.
    dialog.setDefaultSuffix(QString());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void QtDialogs::message(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon,
                    title.isEmpty() ? QCoreApplication::applicationName() : title, text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtDialogs::question(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question,
                    title.isEmpty() ? QCoreApplication::applicationName() : title, text,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::openFileName(const FileRequest &request)
{
    return chooseFile(request, QFileDialog::AcceptOpen);
}

QString QtDialogs::saveFileName(const FileRequest &request)
{
    return chooseFile(request, QFileDialog::AcceptSave);
}

} // namespace telx5
