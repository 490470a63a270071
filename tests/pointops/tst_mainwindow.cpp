#include "FileBytes.h"
#include "PointWindowTest.h"
#include "ScriptedOperator.h"
#include "dialogs/ui/frmbar.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/SettingsFile.h"
#include "pointdata/ui/PointGrid.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/frmMain.h"
#include "simulator/VirtualController.h"
#include "window/ui/ParameterGrid.h"
#include "window/ui/errorRecord.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <QTimer>
#include <QToolBar>

// The point-input main window as the operator uses it, on the in-process virtual controller.
class TestMainWindow : public PointWindowTest {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void captionsAndStart();
    void windowKeySwitchesGrids();
    void exitWithUnsavedChangesCancelKeepsWindow();
    void exitWithUnsavedChangesNoWritesIniAndEnds();
    void parameterEditRefreshesDependentDisplays();
    void toolbarRunsTransfers();
    void progressCancelEndsASilentWait_data();
    void progressCancelEndsASilentWait();
    void errorHistoryFromToolbar();
    void saveAsKeepsTheFilesCodePage();
};

void TestMainWindow::init() {
    openWindow();
}

void TestMainWindow::cleanup() {
    closeWindow();
}

void TestMainWindow::captionsAndStart() {
    QCOMPARE(m_window->windowTitle(), QString("QR_Series QRX Support-Software "));
    QCOMPARE(m_window->panelText(3), QString("COM3"));
    QCOMPARE(m_window->panelText(2), QString("Origin point shift: 0.00"));
    QVERIFY(m_window->pointGridShown());
    QVERIFY(m_window->action("mnuViewGrid1")->isChecked());
    QVERIFY(!m_window->points().modified());
    QCOMPARE(m_window->parameters().actuatorType(), QString("30"));
    QCOMPARE(m_window->drivePanel()->box("Txt_spd")->text(), QString("10"));
    QCOMPARE(m_window->drivePanel()->box("Txt_Dist")->text(), QString("2.00"));
    QCOMPARE(m_window->drivePanel()->box("Txt_Limit")->text(), QString("2.00"));
    QCOMPARE(m_window->drivePanel()->box("Txt_Pos")->text(), QString("0.00"));
    const QStringList keys = {"NewFile",
                              "Open",
                              "SaveAS",
                              "Print",
                              "ComSetup",
                              "Transmit(Parameters)",
                              "Transmit(Point)",
                              "Receive(Parameters)",
                              "Receive(Point)",
                              "Cmpare",
                              "Exit",
                              "Errorhistorydisplay",
                              "Init(Point)",
                              "Window"};
    for (const QString& key : keys)
        QVERIFY2(m_window->toolbarKey(key), qPrintable(key));
    QCOMPARE(m_window->action("mnuFileSave")->text(), QString("Save As(&A)..."));
    QCOMPARE(m_window->action("mnuHelpAbout")->text(), QString("Version(&A)"));
    QCOMPARE(m_window->action("mnuViewStatusBar")->text(), QString("Statusbar(&B)"));
}

void TestMainWindow::windowKeySwitchesGrids() {
    QAction* key = m_window->toolbarKey("Window");
    key->trigger();
    QVERIFY(!m_window->pointGridShown());
    QVERIFY(m_window->parameterGrid()->isVisible());
    QVERIFY(m_window->action("mnuViewGrid2")->isChecked());
    QVERIFY(!m_window->action("mnuViewGrid1")->isChecked());
    key->trigger();
    QVERIFY(m_window->pointGridShown());
    QVERIFY(m_window->pointGrid()->isVisible());
    QVERIFY(m_window->action("mnuViewGrid1")->isChecked());
}

void TestMainWindow::exitWithUnsavedChangesCancelKeepsWindow() {
    m_window->points().setModified(true);
    m_op.answers = {OperatorInteraction::Answer::Cancel};
    m_window->toolbarKey("Exit")->trigger();
    QCOMPARE(m_op.texts("yesnocancel"), QStringList{"Do you save data?"});
    QCOMPARE(m_op.last().icon, OperatorInteraction::Icon::Question);
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->points().modified());
    QCOMPARE(m_op.endCalls, 0);
    QVERIFY(iniBytes().isEmpty());
}

void TestMainWindow::exitWithUnsavedChangesNoWritesIniAndEnds() {
    m_window->points().setModified(true);
    m_op.answers = {OperatorInteraction::Answer::No};
    m_window->action("mnuFileExit")->trigger();
    QCOMPARE(m_op.texts("yesnocancel"), QStringList{"Do you save data?"}); // asked once only
    QCOMPARE(m_op.endCalls, 1);
    QCOMPARE(iniBytes(), QByteArray("[Data]\r\nCOM= 3\r\n"));
}

void TestMainWindow::parameterEditRefreshesDependentDisplays() {
    m_window->ShowParameterGrid();
    ParameterTableModel& params = m_window->parameters();
    const int row35 = 18; // the origin point shift's row
    QVERIFY(params.setData(params.index(row35, 1), "-1250"));
    QCOMPARE(m_window->panelText(2), QString("Origin point shift: -12.50"));
    QVERIFY(m_window->points().modified());
    QCOMPARE(m_window->points().tagText(), QString("Change"));
}

void TestMainWindow::toolbarRunsTransfers() {
    PointTableData table;
    table[2] = {"A", "5.00", "30", "", "note"};
    m_window->points().setTable(table);
    m_window->toolbarKey("Transmit(Point)")->trigger();
    QCOMPARE(m_op.texts("message").constLast(), QString("Transmitting has finished."));
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_window->toolbar()->isEnabled());
    m_window->points().clear();
    m_window->toolbarKey("Receive(Point)")->trigger();
    QCOMPARE(m_op.texts("message").constLast(), QString("Receiving has finished."));
    QCOMPARE(m_window->points().point(2).position, QString("5.00"));
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_window->points().modified());
    // A silent controller: the time-out is reported with the operation's title and the
    // window is usable again.
    m_controller->setSilent(true);
    m_window->toolbarKey("Receive(Parameters)")->trigger();
    QCOMPARE(m_op.last().title, QString("Parameter reception"));
    QCOMPARE(m_op.last().text, QString("The communication error. Please check the connection."));
    QCOMPARE(m_op.last().informative, QString("COM3: no answer within 5 s"));
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_window->toolbar()->isEnabled());
}

// Every way of cancelling on the progress dialog reaches the exchange that waits for a silent
// controller: the operation ends on its cancel path at once. The dialog has the keyboard focus
// on its Cancel button as soon as it appears, so the keys go where the operator's keyboard
// sends them.
void TestMainWindow::progressCancelEndsASilentWait_data() {
    QTest::addColumn<int>("key"); // 0: a mouse click on Cancel; -1: the title bar's close
    QTest::newRow("Cancel clicked") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("title bar close") << -1;
}

void TestMainWindow::progressCancelEndsASilentWait() {
    QFETCH(int, key);
    m_controller->setSilentFor("@READ PNT");
    frmbar& bar = m_window->progress();
    auto* cancel = bar.findChild<QPushButton*>("Com_Cancel");
    QWidget* focused = nullptr;
    QTimer::singleShot(200, this, [&] {
        focused = QApplication::focusWidget();
        if (key == 0)
            QTest::mouseClick(cancel, Qt::LeftButton);
        else if (key < 0)
            bar.close();
        else if (focused)
            QTest::keyClick(focused, Qt::Key(key));
    });
    QElapsedTimer t;
    t.start();
    m_window->toolbarKey("Receive(Point)")->trigger();
    QVERIFY(t.elapsed() < 5000);
    QCOMPARE(focused, cancel);
    QCOMPARE(m_op.texts("message"), QStringList{"Data un-transmitting."});
    QCOMPARE(bar.tag(), QString("0"));
    QVERIFY(!bar.isVisible());
    QVERIFY(m_window->isEnabled());
}

void TestMainWindow::errorHistoryFromToolbar() {
    m_controller->setErrorHistory({"E12:OVERLOAD", "E13:ENCODER"});
    QVERIFY(m_window->action("mnuToolsBag")->isEnabled());
    m_window->toolbarKey("Errorhistorydisplay")->trigger();
    errorRecord* record = m_window->errorRecordWindow();
    QVERIFY(record && record->isVisible());
    QCOMPARE(record->entries().mid(0, 3), (QStringList{"E12:OVERLOAD", "E13:ENCODER", ""}));
    QVERIFY(m_window->isEnabled() && m_window->toolbar()->isEnabled());
    // Saving the record leaves the main window's caption to the settings file.
    const QString caption = m_window->windowTitle();
    const QString path = m_rig.dir.filePath("errors.txt");
    m_op.fileNames = {path};
    record->save();
    QVERIFY(QFile::exists(path));
    QCOMPARE(m_window->windowTitle(), caption);
    // A second display replaces the first window.
    m_window->action("mnuToolsBag")->trigger();
    QTRY_VERIFY(m_window->findChildren<errorRecord*>().size() == 1);
}

// A file written on a Japanese system, opened and saved again through the File menu, keeps
// every byte: the window's Save As writes in the code page Open found.
void TestMainWindow::saveAsKeepsTheFilesCodePage() {
    PointTableData points{};
    points[0] = {"A", "10.00", "50", "", QString::fromUtf8("位置決め①")};
    points[9] = {"C", "", "5", "3", QString::fromUtf8("ﾜｰｸ押し当て")};
    QStringEncoder japanese("windows-31j");
    const QByteArray original = japanese.encode(
        QString::fromUtf8(SettingsFile::write(points, m_window->parameters().table())));
    QVERIFY(!japanese.hasError());
    const QString in = m_rig.dir.filePath("japanese.csv");
    const QString out = m_rig.dir.filePath("again.csv");
    QVERIFY(writeFileBytes(in, original));
    m_op.fileNames = {in, out};

    m_window->action("mnuFileOpen")->trigger();
    QCOMPARE(m_window->points().point(0).note, points[0].note);
    m_window->action("mnuFileSave")->trigger();

    QCOMPARE(fileBytes(out), original);
    QCOMPARE(m_window->windowTitle(), "QRX5 Support-Software" + QDir::toNativeSeparators(out));
    QCOMPARE(m_op.texts("message"), (QStringList{"    Complete.", "    Complete."}));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
