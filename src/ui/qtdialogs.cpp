#include "qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace telx5 {

namespace {

QString chooseFile(const Dialogs::FileRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.directory,
                       request.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// Qt sizes a box by its text and leaves its title 50 pixels more; a window
// manager's title bar also holds an icon and three buttons, and cut the title
// of a box with a short text ("关…g"). The box is made as wide as its title
// in a bold face with room for those.
void fitTitle(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    QFont bold = box.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int width = metrics.horizontalAdvance(box.windowTitle()) + 8 * metrics.height();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void QtDialogs::message(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon,
                    title.isEmpty() ? QCoreApplication::applicationName() : title, text,
                    QMessageBox::Ok, QApplication::activeWindow());
    fitTitle(box);
    box.exec();
}

bool QtDialogs::question(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question,
                    title.isEmpty() ? QCoreApplication::applicationName() : title, text,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    fitTitle(box);
    // The buttons speak the window's language also where Qt's own
    // translations are not installed.
    box.button(QMessageBox::Yes)->setText(tr("&Yes"));
    box.button(QMessageBox::No)->setText(tr("&No"));
    // A stray Enter leaves things as they are.
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
