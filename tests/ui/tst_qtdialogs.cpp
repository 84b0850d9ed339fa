#include "qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace telx5;

namespace {

// Runs `answer` on the modal box or dialog once it is up, the way a user
// would answer it. Whatever `answer` leaves open is closed, so a failing
// check never leaves the test waiting on a box.
void whenShown(const std::function<void(QWidget *)> &answer)
{
    QTimer::singleShot(0, qApp, [answer] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        answer(modal);
        if (modal->isVisible())
            modal->close();
    });
}

} // namespace

class QtDialogsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void message_data();
    void message();
    void question_data();
    void question();
    void fileDialog_data();
    void fileDialog();
};

void QtDialogsTest::message_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shownTitle");

    QTest::newRow("language box") << "当前系统为：英文"
                                  << "语言"
                                  << "语言";
    QTest::newRow("no title given") << "Port is open" << QString() << "telx5-config";
}

void QtDialogsTest::message()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, shownTitle);

    QString seenText;
    QString seenTitle;
    QStringList buttons;
    whenShown([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        seenText = box->text();
        seenTitle = box->windowTitle();
        for (QAbstractButton *button : box->buttons())
            buttons << button->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::Ok)->click();
    });
    QtDialogs().message(text, title);
    QCOMPARE(seenText, text);
    QCOMPARE(seenTitle, shownTitle);
    QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
}

void QtDialogsTest::question_data()
{
    QTest::addColumn<int>("button"); // clicked; NoButton: `key` pressed instead
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("yes");

    QTest::newRow("Yes") << int(QMessageBox::Yes) << 0 << true;
    QTest::newRow("No") << int(QMessageBox::No) << 0 << false;
    // Going on without a backup is never what a hurried Enter says.
    QTest::newRow("Enter") << int(QMessageBox::NoButton) << int(Qt::Key_Return) << false;
    QTest::newRow("Escape") << int(QMessageBox::NoButton) << int(Qt::Key_Escape) << false;
}

void QtDialogsTest::question()
{
    QFETCH(int, button);
    QFETCH(int, key);
    QFETCH(bool, yes);

    QString seenText;
    QString seenTitle;
    whenShown([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        seenText = box->text();
        seenTitle = box->windowTitle();
        if (button != QMessageBox::NoButton)
            box->button(QMessageBox::StandardButton(button))->click();
        else
            QTest::keyClick(box, Qt::Key(key));
    });
    const bool answer =
        QtDialogs().question(QStringLiteral("Go on without a backup?"), QStringLiteral("Backup"));
    QCOMPARE(answer, yes);
    QCOMPARE(seenText, QStringLiteral("Go on without a backup?"));
    QCOMPARE(seenTitle, QStringLiteral("Backup"));
}

void QtDialogsTest::fileDialog_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("confirmOverwrite");
    QTest::addColumn<QString>("filter");

    QTest::newRow("load a settings file") << false << false << "ini文件(*.ini)";
    QTest::newRow("save a settings file") << true << true << "setup file(*.ini)";
    QTest::newRow("save without asking") << true << false << "setup file(*.ini)";
}

void QtDialogsTest::fileDialog()
{
    QFETCH(bool, save);
    QFETCH(bool, confirmOverwrite);
    QFETCH(QString, filter);

    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("station"));
    if (!save) {
        QFile existing(chosen);
        QVERIFY(existing.open(QIODevice::WriteOnly));
    }
    const Dialogs::FileRequest request{QStringLiteral("Save"), filter, dir.path(),
                                       confirmOverwrite};

    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QStringList filters;
    QString suffix = QStringLiteral("unset");
    bool asks = false;
    QString directory;
    whenShown([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        mode = dialog->acceptMode();
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        asks = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        directory = dialog->directory().absolutePath();
        dialog->selectFile(chosen);
        static_cast<QDialog *>(dialog)->accept();
    });
    QtDialogs dialogs;
    const QString answer = save ? dialogs.saveFileName(request) : dialogs.openFileName(request);

    QCOMPARE(answer, chosen);
    QCOMPARE(mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QCOMPARE(filters, QStringList{filter});
    // The name is taken as typed: "station" stays without ".ini".
    QCOMPARE(suffix, QString());
    QCOMPARE(asks, confirmOverwrite);
    QCOMPARE(directory, QDir(dir.path()).absolutePath());
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("telx5-config"));
    QtDialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qtdialogs.moc"
