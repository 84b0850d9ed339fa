#include "qtdialogs.h"
#include "translation.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
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
    QTest::newRow("a title longer than the text") << "telx5-config 1.0.0"
                                                  << "关于 telx5-config"
                                                  << "关于 telx5-config";
}

void QtDialogsTest::message()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, shownTitle);

    QString seenText;
    QString seenTitle;
    QStringList buttons;
    int titleRoom = 0;
    whenShown([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        seenText = box->text();
        seenTitle = box->windowTitle();
        QFont bold = box->font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        // The title bar's icon and buttons take some four lines' height.
        titleRoom = box->width() - metrics.horizontalAdvance(seenTitle) - 4 * metrics.height();
        for (QAbstractButton *button : box->buttons())
            buttons << button->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::Ok)->click();
    });
    QtDialogs().message(text, title);
    QCOMPARE(seenText, text);
    QCOMPARE(seenTitle, shownTitle);
    QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
    QVERIFY2(titleRoom > 0, qPrintable(QString::number(titleRoom)));
}

void QtDialogsTest::question_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("pressed");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QStringList>("buttons");

    const QStringList english{QStringLiteral("Yes"), QStringLiteral("No")};
    QTest::newRow("yes") << QMessageBox::Yes << true << false << english;
    QTest::newRow("no") << QMessageBox::No << false << false << english;
    // Enter keeps what is running.
    QTest::newRow("enter") << QMessageBox::NoButton << false << false << english;
    QTest::newRow("yes in Chinese")
        << QMessageBox::Yes << true << true
        << QStringList{QStringLiteral("是(Y)"), QStringLiteral("否(N)")};
}

void QtDialogsTest::question()
{
    QFETCH(QMessageBox::StandardButton, pressed);
    QFETCH(bool, answer);
    QFETCH(bool, chinese);
    QFETCH(QStringList, buttons);

    const Translation translation(chinese);
    QString seenText;
    QString seenTitle;
    QStringList seenButtons;
    whenShown([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        seenText = box->text();
        seenTitle = box->windowTitle();
        for (QMessageBox::StandardButton which : {QMessageBox::Yes, QMessageBox::No})
            seenButtons << box->button(which)->text().remove(QLatin1Char('&'));
        QCOMPARE(box->buttons().size(), 2);
        if (pressed == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Return);
        else
            box->button(pressed)->click();
    });
    QCOMPARE(QtDialogs().question(QStringLiteral("Close anyway?")), answer);
    QCOMPARE(seenText, QStringLiteral("Close anyway?"));
    QCOMPARE(seenTitle, QStringLiteral("telx5-config"));
    QCOMPARE(seenButtons, buttons);
}

void QtDialogsTest::fileDialog_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("confirmOverwrite");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("answered"); // for "station" typed
    QTest::addColumn<bool>("chinese");
    // Qt's own texts: the file name's caption and the buttons.
    QTest::addColumn<QStringList>("texts");

    const QStringList english{QStringLiteral("File name:"), QStringLiteral("Open"),
                              QStringLiteral("Cancel")};
    const QStringList englishSave{QStringLiteral("File name:"), QStringLiteral("Save"),
                                  QStringLiteral("Cancel")};
    QTest::newRow("load a settings file") << false << false << "ini文件(*.ini);;All files (*)"
                                          << ""
                                          << "station" << false << english;
    QTest::newRow("save a settings file: .ini added") << true << true << "setup file(*.ini)"
                                                      << "ini"
                                                      << "station.ini" << false << englishSave;
    QTest::newRow("save without asking") << true << false << "setup file(*.ini)"
                                         << ""
                                         << "station" << false << englishSave;
    QTest::newRow("load in Chinese")
        << false << false << "ini文件(*.ini);;所有文件 (*)"
        << ""
        << "station" << true
        << QStringList{QStringLiteral("文件名称(N)："), QStringLiteral("打开(O)"),
                       QStringLiteral("取消")};
}

void QtDialogsTest::fileDialog()
{
    QFETCH(bool, save);
    QFETCH(bool, confirmOverwrite);
    QFETCH(QString, filter);
    QFETCH(QString, suffix);
    QFETCH(QString, answered);
    QFETCH(bool, chinese);
    QFETCH(QStringList, texts);

    const Translation translation(chinese);
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("station"));
    if (!save) {
        QFile existing(chosen);
        QVERIFY(existing.open(QIODevice::WriteOnly));
    }
    const Dialogs::FileRequest request{QStringLiteral("Save"), filter, dir.path(), confirmOverwrite,
                                       suffix};

    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QStringList filters;
    QString seenSuffix = QStringLiteral("unset");
    bool asks = false;
    QString directory;
    QStringList seenTexts;
    whenShown([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        mode = dialog->acceptMode();
        filters = dialog->nameFilters();
        seenSuffix = dialog->defaultSuffix();
        seenTexts << dialog->findChild<QLabel *>(QStringLiteral("fileNameLabel"))->text();
        for (QDialogButtonBox::StandardButton which :
             {QDialogButtonBox::Open, QDialogButtonBox::Save, QDialogButtonBox::Cancel})
            if (QPushButton *button =
                    dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
                        ->button(which))
                seenTexts << button->text();
        asks = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        directory = dialog->directory().absolutePath();
        dialog->selectFile(chosen);
        static_cast<QDialog *>(dialog)->accept();
    });
    QtDialogs dialogs;
    const QString answer = save ? dialogs.saveFileName(request) : dialogs.openFileName(request);

    QCOMPARE(answer, dir.filePath(answered));
    QCOMPARE(mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QCOMPARE(filters, filter.split(QStringLiteral(";;")));
    QCOMPARE(seenSuffix, suffix);
    QCOMPARE(seenTexts.replaceInStrings(QStringLiteral("&"), QString()), texts);
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
