// The pulse-train parameter and zone tables: defaults, the edit checks, the zone consistency
// rule and the zone grid's keys.
#include "GridTyping.h"
#include "ScriptedOperator.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/PulseParameters.h"
#include "pulse/ZoneRules.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/ZoneGrid.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using Verdict = ZoneRules::Verdict;

class TestPulseTables final : public QObject {
    Q_OBJECT
  private slots:
    void typeDefaults();
    void parameterEditCheck_data();
    void parameterEditCheck();
    void zoneCellCheck_data();
    void zoneCellCheck();
    void zoneConsistency_data();
    void zoneConsistency();
    void zoneGridKeysAndKeypad();
    void zonePositionsShownWithTwoDecimals_data();
    void zonePositionsShownWithTwoDecimals();
};

void TestPulseTables::typeDefaults() {
    for (const QString type : {"30", "31", "32", "33"})
        QCOMPARE(PulseParameters::defaultList(type), type + ",100,0,5,1,0,5,10,1,1,0,1000,");
    QVERIFY(PulseParameters::defaultList("34").isEmpty());
    QCOMPARE(PulseParameters::parameterNumbers(),
             (QList<int>{0, 4, 5, 10, 22, 35, 36, 37, 38, 39, 43, 53}));

    ScriptedOperator op;
    PulseParameterModel model(op);
    QCOMPARE(model.rowCount(), 12);
    QCOMPARE(model.actuatorType(), QString("30"));
    QCOMPARE(model.index(6, 2).data().toString(), QString("1 to 10 (*0.01rps)"));
    QCOMPARE(model.columnHeader(2), QString("Setting Range         "));
    QCOMPARE(model.columnHeader(4), QString("                 Note"));
    QCOMPARE(model.columnUnits(4), 200);

    // A type without defaults ends the program and leaves the table as it was.
    QVERIFY(!model.fillInitialValues("34"));
    QCOMPARE(op.texts("message"), QStringList{"Controller type is different."});
    QCOMPARE(op.last().title, QString("Controller type"));
    QCOMPARE(op.endCalls, 1);
    QCOMPARE(model.table(), PulseParameters::initialTable("30"));
}

void TestPulseTables::parameterEditCheck_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stays");
    QTest::newRow("acceleration 150") << 4 << "150"
                                      << "100";
    QTest::newRow("acceleration 1") << 4 << "1"
                                    << "1";
    QTest::newRow("acceleration 100") << 4 << "100"
                                      << "100";
    QTest::newRow("acceleration text") << 4 << "5x"
                                       << "100";
    QTest::newRow("servo method 2") << 43 << "2"
                                    << "0";
    QTest::newRow("servo method 1") << 43 << "1"
                                    << "1";
    QTest::newRow("servo method 1.0") << 43 << "1.0"
                                      << "0";
    QTest::newRow("origin shift -9999") << 35 << "-9999"
                                        << "-9999";
    QTest::newRow("origin shift 9999") << 35 << "9999"
                                       << "9999";
    QTest::newRow("origin shift 10000") << 35 << "10000"
                                        << "0";
    QTest::newRow("INPOS 100") << 53 << "100"
                               << "100";
    QTest::newRow("INPOS 1999") << 53 << "1999"
                                << "1999";
    QTest::newRow("INPOS 99") << 53 << "99"
                              << "1000";
    QTest::newRow("INPOS 2000") << 53 << "2000"
                                << "1000";
    QTest::newRow("shift speed 10.5") << 36 << "10.5"
                                      << "5";
    QTest::newRow("type row") << 0 << "31"
                              << "30";
    QTest::newRow("pulse mode 4") << 38 << "4"
                                  << "4";
    QTest::newRow("up-scaling 9") << 39 << "9"
                                  << "1";
}

void TestPulseTables::parameterEditCheck() {
    QFETCH(int, number);
    QFETCH(QString, typed);
    QFETCH(QString, stays);
    ScriptedOperator op;
    PulseParameterModel model(op);
    model.setSettingValue(number, "7"); // a program write: no check, no edit
    QSignalSpy edited(&model, &ParameterRowsModel::edited);
    const int row = PulseParameters::rowOfParameter(number);
    QVERIFY(model.setData(model.index(row, ParameterRowsModel::ColSetting), typed));
    QCOMPARE(model.settingValue(number), stays);
    QCOMPARE(edited.count(), 1); // reverted or not, it was an edit
    QVERIFY(op.prompts.isEmpty());
}

void TestPulseTables::zoneCellCheck_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("warned");
    QTest::newRow("40") << "40"
                        << "40.00" << false;
    QTest::newRow("-40") << "-40"
                         << "-40.00" << false;
    QTest::newRow("40.01") << "40.01"
                           << "" << true;
    QTest::newRow("-40.5") << "-40.5"
                           << "" << true;
    QTest::newRow("5") << "5"
                       << "5.00" << false;
    QTest::newRow("-3.456") << "-3.456"
                            << "-3.46" << false;
    QTest::newRow("1.005 rounds up") << "1.005"
                                     << "1.01" << false;
    QTest::newRow("leading number of 12-3") << "12-3"
                                            << "12.00" << false;
    QTest::newRow("no digits") << "-."
                               << "0.00" << false;
    QTest::newRow("-0") << "-0"
                        << "0.00" << false;
}

void TestPulseTables::zoneCellCheck() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, warned);
    ScriptedOperator op;
    ZoneTableModel model(op);
    model.setTable({ZoneRecord{"", "7", "n"}});
    QVERIFY(model.setData(model.index(0, ZoneRules::ColA), typed));
    QCOMPARE(model.zone(0).a, shown);
    QCOMPARE(model.zone(0).b, QString("7.00")); // the row's other position is checked too
    QCOMPARE(op.texts("message"), warned ? QStringList{ZoneRules::RangeText} : QStringList{});
    if (warned) {
        QCOMPARE(op.last().title, QString("error"));
        QCOMPARE(op.last().icon, OperatorInteraction::Icon::Warning);
    }
    QCOMPARE(model.tagText(), QString("Change"));

    // While a program write runs nothing is checked and the flag stays.
    model.setModified(false);
    model.setBulkWrite(ZoneTableModel::BulkWrite::Teaching);
    QVERIFY(model.setData(model.index(1, ZoneRules::ColB), "99"));
    QCOMPARE(model.zone(1).b, QString("99"));
    QVERIFY(!model.modified());
}

void TestPulseTables::zoneConsistency_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("verdict");
    QTest::newRow("10 to 20") << "10.00"
                              << "20.00" << int(Verdict::Accepted);
    QTest::newRow("20 to 10") << "20.00"
                              << "10.00" << int(Verdict::Rejected);
    QTest::newRow("-10 to -20") << "-10.00"
                                << "-20.00" << int(Verdict::Accepted);
    QTest::newRow("-10 to 20") << "-10.00"
                               << "20.00" << int(Verdict::Rejected);
    QTest::newRow("0 to -5") << "0.00"
                             << "-5.00" << int(Verdict::Accepted);
    QTest::newRow("0 to 5") << "0.00"
                            << "5.00" << int(Verdict::Accepted);
    QTest::newRow("A = B") << "3.00"
                           << "3.00" << int(Verdict::Rejected);
    QTest::newRow("0 = 0") << "0.00"
                           << "0.00" << int(Verdict::Rejected);
    // Both go out as 3.00.
    QTest::newRow("same value, other text") << "3"
                                            << "3.00" << int(Verdict::Rejected);
    QTest::newRow("B empty") << "1.00"
                             << "" << int(Verdict::Incomplete);
    QTest::newRow("A empty") << ""
                             << "1.00" << int(Verdict::Incomplete);
    QTest::newRow("both empty") << ""
                                << "" << int(Verdict::Skipped);
}

void TestPulseTables::zoneConsistency() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, verdict);
    QCOMPARE(int(ZoneRules::consistency({a, b, "note"})), verdict);

    // In a table the first zone that fails is named; skipped zones pass.
    ZoneTableData zones{ZoneRecord{}, ZoneRecord{"1.00", "2.00", ""}, ZoneRecord{a, b, ""}};
    const auto table = ZoneRules::checkTable(zones);
    const bool fails = verdict == int(Verdict::Incomplete) || verdict == int(Verdict::Rejected);
    QCOMPARE(table.zone, fails ? 2 : -1);
    QCOMPARE(int(table.verdict), fails ? verdict : int(Verdict::Accepted));
}

void TestPulseTables::zoneGridKeysAndKeypad() {
    ScriptedOperator op;
    ZoneTableModel model(op);
    ZoneGrid grid(&model);
    bool setEnabled = true;
    grid.setKeypadAllowed([&] { return setEnabled; });
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    // Letters never reach a position cell; the note takes them.
    QLineEdit* editor = GridTyping::typeInto(grid, 0, ZoneRules::ColA, "1x2+.5");
    QVERIFY(editor);
    QCOMPARE(editor->text(), QString("12.5"));
    GridTyping::finish(editor, Qt::Key_Return);
    QCOMPARE(model.zone(0).a, QString("12.50"));
    editor = GridTyping::typeInto(grid, 1, ZoneRules::ColB, "a");
    QVERIFY(editor && editor->text().isEmpty());
    GridTyping::finish(editor, Qt::Key_Escape);
    GridTyping::finish(GridTyping::typeInto(grid, 0, ZoneRules::ColNote, "ab,c"), Qt::Key_Return);
    QCOMPARE(model.zone(0).note, QString("ab,c"));

    // Enter on a position opens the keypad with the cell's text; its answer is checked.
    op.keypadValues = QStringList{"-7"};
    grid.setCurrentIndex(model.index(0, ZoneRules::ColA));
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(op.last().kind, QString("keypad"));
    QCOMPARE(op.last().text, QString("12.50"));
    QCOMPARE(model.zone(0).a, QString("-7.00"));
    // Cancel (an empty answer) keeps the previous text.
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(model.zone(0).a, QString("-7.00"));
    // Without the SET button no keypad opens.
    setEnabled = false;
    const auto asked = op.prompts.size();
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(op.prompts.size(), asked);
    QCOMPARE(grid.objectName(), QString("Grid1"));
}

// Positions A and B are shown "#0.00" whatever text they hold (a file's hand-typed A, a
// controller's reply) and go out on the zone data line as shown; the cell keeps that text for
// saving and printing.
void TestPulseTables::zonePositionsShownWithTwoDecimals_data() {
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("shown");
    QTest::newRow("whole number") << "5"
                                  << "5.00";
    QTest::newRow("rounded") << "-3.456"
                             << "-3.46";
    QTest::newRow("one decimal") << "12.5"
                                 << "12.50";
    QTest::newRow("blanks around") << " 7 "
                                   << "7.00";
    QTest::newRow("minus zero") << "-0"
                                << "0.00";
    QTest::newRow("fraction without a leading zero") << ".5"
                                                     << "0.50";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no number") << "1/2"
                               << "1/2";
}

void TestPulseTables::zonePositionsShownWithTwoDecimals() {
    QFETCH(QString, held);
    QFETCH(QString, shown);
    ScriptedOperator op;
    ZoneTableModel model(op);
    model.setTable({ZoneRecord{held, held, held}});
    for (int column : {int(ZoneRules::ColA), int(ZoneRules::ColB)}) {
        QCOMPARE(model.index(0, column).data().toString(), shown);
        QCOMPARE(model.index(0, column).data(Qt::EditRole).toString(), held);
    }
    QCOMPARE(model.index(0, ZoneRules::ColNote).data().toString(), held);
    QCOMPARE(model.zone(0).a, held);
    // The data line carries what the grid shows.
    QCOMPARE(ZoneRules::transmissionText(model.zone(0)), shown + ',' + shown);
}

QTEST_MAIN(TestPulseTables)
#include "tst_pulsetables.moc"
