#include "OpsRig.h"
#include "drive/ErrorHistory.h"
#include "window/ui/errorRecord.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// Error History Display, the error history window and its error record file.
class TestErrorHistory : public QObject {
    Q_OBJECT
  private slots:
    void displayAndSave_data();
    void displayAndSave();
    void refusedReplyShowsNoList();
    void saveCancelledOrRefused();
};

void TestErrorHistory::displayAndSave_data() {
    QTest::addColumn<int>("lines");
    QTest::newRow("2 entries") << 2;
    QTest::newRow("20 entries") << 20;
}

void TestErrorHistory::displayAndSave() {
    QFETCH(int, lines);
    OpsRig r;
    QStringList history;
    for (int i = 0; i < lines; ++i)
        history << QStringLiteral("E%1:OVER CURRENT").arg(i + 10);
    // What looks like markup is still the controller's text.
    history[1] = QStringLiteral("E11:<b>LOAD</b> &amp; <img src=x>");
    r.controller.setErrorHistory(history);

    QStringList shown;
    bool disabledWhileReading = false;
    r.controller.connect(&r.controller, &VirtualController::lineHandled,
                         [&] { disabledWhileReading = !r.host.windowEnabled && r.progress.shown; });
    ErrorHistory::display(r.context(), [&](const QStringList& e) { shown = e; });
    QCOMPARE(r.controller.received(), QByteArray("@READ ERR ,\r\n"));
    QVERIFY(disabledWhileReading);
    QVERIFY(r.restored());
    QCOMPARE(r.op.prompts.size(), 0);
    QCOMPARE(shown.size(), 16);
    const QStringList expected = (history + QStringList(16, QString())).mid(0, 16);
    QCOMPARE(shown, expected);

    // The window shows them top down and saves the record with its exact bytes.
    QTemporaryDir dir;
    const QString path = dir.filePath("errors.csv");
    r.op.fileNames = {path};
    errorRecord window(shown, r.op);
    QCOMPARE(window.windowTitle(), QString("Error history display"));
    QCOMPARE(window.findChild<QLabel*>("Label1_0")->text(), QString("E10:OVER CURRENT"));
    for (const QLabel* label : window.findChildren<QLabel*>(QRegularExpression("^Label1_")))
        QCOMPARE(label->textFormat(), Qt::PlainText);
    QCOMPARE(window.findChild<QLabel*>("Label1_15")->text(), expected[15]);
    window.findChild<QPushButton*>("e_hozon")->click();
    QCOMPARE(r.op.last().kind, QString("save"));
    // An error record is offered as one, never among the settings files.
    QCOMPARE(r.op.last().title, QString("Save Error Record"));
    QCOMPARE(r.op.last().text, QString("Error record(*.txt);;All files(*)"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes("QRX Error Record\r\n");
    for (const QString& e : expected)
        bytes += e.toLatin1() + "\r\n";
    bytes += "\r\n";
    QCOMPARE(file.readAll(), bytes);
}

void TestErrorHistory::refusedReplyShowsNoList() {
    OpsRig r;
    r.controller.setNgFor("@READ ERR");
    bool shown = false;
    ErrorHistory::display(r.context(), [&](const QStringList&) { shown = true; });
    QVERIFY(!shown);
    QCOMPARE(r.link.errorText(), QString("NG\r\n37:RANGE OVER\r\n"));
    QVERIFY(r.restored());
}

void TestErrorHistory::saveCancelledOrRefused() {
    OpsRig r;
    QTemporaryDir dir;
    errorRecord window(QStringList{"E1"}, r.op);
    window.save(); // dialog cancelled: no file, no message
    QCOMPARE(r.op.texts("message"), QStringList());
    QVERIFY(QDir(dir.path()).isEmpty());

    // A folder cannot be written over: the previous content stays and the name is named.
    r.op.fileNames = {dir.path()};
    window.save();
    QCOMPARE(r.op.texts("message"),
             QStringList{QDir::toNativeSeparators(dir.path()) +
                         "cannot be saved because it is read only or it is opened."});
    QCOMPARE(r.op.last().title, QString());
}

QTEST_MAIN(TestErrorHistory)
#include "tst_errorhistory.moc"
