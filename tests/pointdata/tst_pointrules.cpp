#include "pointdata/PointRules.h"
#include "pointdata/PointTableModel.h"

#include "ScriptedOperator.h"

#include <QSignalSpy>
#include <QtTest>

using Icon = OperatorInteraction::Icon;
using namespace PointRules;

Q_DECLARE_METATYPE(PointRecord)
Q_DECLARE_METATYPE(PointRules::Verdict)

namespace {
PointRecord rec(const QString& mode, const QString& position, const QString& speed,
                const QString& push, const QString& note = {}) {
    return {mode, position, speed, push, note};
}

QString m2(const QString& type, int limit, int point) {
    return QStringLiteral("A,I,U mode speed range of actuator type No.%1 is 1.00 to %2.00 "
                          "(mm/s).\r\n\r\nPlease confirm speed data entry value of point No.%3.")
        .arg(type)
        .arg(limit)
        .arg(point);
}
} // namespace

class TestPointRules final : public QObject {
    Q_OBJECT
  private slots:
    void entryFilter_data();
    void entryFilter();
    void changeCheck_data();
    void changeCheck();
    void teachingSetClearsPushPositionsOfTheFirstHalf();
    void strokeRoundsHalfToEven();
    void validity_data();
    void validity();
    void tableStopsAtTheFirstFailure();
    void wholeNumbersOnly_data();
    void wholeNumbersOnly();
    void transmissionFields();
    void modelEditsRunTheCheck();
    void modelBulkLoadsRunNoCheck();
    void modelActivation();
    void modelLayout();
};

void TestPointRules::entryFilter_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<QString>("refused");
    QTest::newRow("mode") << int(ColMode) << "aiocuAIOCU\b"
                          << "xXbBzZ1 -.";
    QTest::newRow("position") << int(ColPosition) << "0123456789-./\b"
                              << "+,eE aA";
    QTest::newRow("speed") << int(ColSpeed) << "0123456789\b"
                           << "-./+ a";
    QTest::newRow("push") << int(ColPush) << "0123456789\b"
                          << "-./+ a";
    QTest::newRow("note") << int(ColNote) << "xyz 1.-/+ Ä\b"
                          << "";
    QTest::newRow("number") << int(ColNumber) << "\b"
                            << "0123456789";
}

void TestPointRules::entryFilter() {
    QFETCH(int, column);
    QFETCH(QString, accepted);
    QFETCH(QString, refused);
    for (const QChar c : accepted)
        QVERIFY2(acceptsCharacter(column, c), qPrintable(QString(c)));
    for (const QChar c : refused)
        QVERIFY2(!acceptsCharacter(column, c), qPrintable(QString(c)));
}

void TestPointRules::changeCheck_data() {
    QTest::addColumn<PointRecord>("before");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<PointRecord>("after");
    QTest::addColumn<QString>("message");

    const QString wide = "Please set a value within 1 to 120 mm/s.";
    const QString narrow = "Please set a value within 1 to 10 mm/s.";
    const QString level = "Please set a value within 1 to 10.";

    // Mode letters: a lower-case letter tidies the row, a capital only clears per mode.
    QTest::newRow("c caps speed, clears position")
        << rec("A", "12.00", "40", "") << int(ColMode) << "c" << rec("C", "", "35", "") << "";
    QTest::newRow("C keeps speed")
        << rec("A", "12.00", "40", "") << int(ColMode) << "C" << rec("C", "", "40", "") << "";
    QTest::newRow("o speed 35 stays")
        << rec("", "1.00", "35", "3") << int(ColMode) << "o" << rec("O", "", "35", "3") << "";
    QTest::newRow("a clears level")
        << rec("O", "", "5", "4") << int(ColMode) << "a" << rec("A", "", "5", "") << "";
    QTest::newRow("i clears level")
        << rec("U", "3.00", "5", "4") << int(ColMode) << "i" << rec("I", "3.00", "5", "") << "";
    QTest::newRow("u keeps everything")
        << rec("C", "", "50", "4") << int(ColMode) << "u" << rec("U", "", "50", "4") << "";
    QTest::newRow("unknown mode cleared")
        << rec("X", "1.00", "5", "") << int(ColNote) << "n" << rec("", "1.00", "5", "", "n") << "";
    QTest::newRow("lower unknown cleared")
        << rec("", "", "", "") << int(ColMode) << "x" << rec("", "", "", "") << "";
    QTest::newRow("mode emptied") << rec("A", "1.00", "5", "") << int(ColMode) << ""
                                  << rec("", "1.00", "5", "") << "";

    // Position: rewritten with two decimals, cleared when it is no number.
    QTest::newRow("position 7") << rec("A", "", "", "") << int(ColPosition) << "7"
                                << rec("A", "7.00", "", "") << "";
    QTest::newRow("position -3.5")
        << rec("U", "", "", "") << int(ColPosition) << "-3.5" << rec("U", "-3.50", "", "") << "";
    QTest::newRow("position 1/2") << rec("A", "", "", "") << int(ColPosition) << "1/2"
                                  << rec("A", "", "", "") << "";
    QTest::newRow("position lone minus")
        << rec("A", "", "", "") << int(ColPosition) << "-" << rec("A", "", "", "") << "";
    QTest::newRow("position of O cleared")
        << rec("O", "", "5", "") << int(ColPosition) << "4" << rec("O", "", "5", "") << "";
    QTest::newRow("position no range check") << rec("A", "", "", "") << int(ColPosition) << "12345"
                                             << rec("A", "12345.00", "", "") << "";

    // Speed: 1..120 for A, I, U, else 1..10; rounded half to even.
    QTest::newRow("speed 0 for A")
        << rec("A", "1.00", "", "") << int(ColSpeed) << "0" << rec("A", "1.00", "", "") << wide;
    QTest::newRow("speed 121 for U")
        << rec("U", "1.00", "", "2") << int(ColSpeed) << "121" << rec("U", "1.00", "", "2") << wide;
    QTest::newRow("speed 120 for I")
        << rec("I", "1.00", "", "") << int(ColSpeed) << "120" << rec("I", "1.00", "120", "") << "";
    QTest::newRow("speed 11 for O")
        << rec("O", "", "", "2") << int(ColSpeed) << "11" << rec("O", "", "", "2") << narrow;
    QTest::newRow("speed 11 without mode")
        << rec("", "", "", "") << int(ColSpeed) << "11" << rec("", "", "", "") << narrow;
    QTest::newRow("speed 10 for C")
        << rec("C", "", "", "2") << int(ColSpeed) << "10" << rec("C", "", "10", "2") << "";
    QTest::newRow("speed 2.5 to even")
        << rec("A", "", "", "") << int(ColSpeed) << "2.5" << rec("A", "", "2", "") << "";
    QTest::newRow("speed 3.5 to even")
        << rec("A", "", "", "") << int(ColSpeed) << "3.5" << rec("A", "", "4", "") << "";
    QTest::newRow("speed 0.5 refused")
        << rec("A", "", "", "") << int(ColSpeed) << "0.5" << rec("A", "", "", "") << wide;
    QTest::newRow("speed keypad minus")
        << rec("A", "", "", "") << int(ColSpeed) << "-5" << rec("A", "", "", "") << wide;
    QTest::newRow("speed no number")
        << rec("A", "", "7", "") << int(ColSpeed) << "." << rec("A", "", "", "") << "";
    QTest::newRow("speed unchecked elsewhere")
        << rec("O", "", "40", "") << int(ColNote) << "n" << rec("O", "", "40", "", "n") << "";

    // Pushing level: 1..10 unless the mode is A or I, where it is simply cleared.
    QTest::newRow("level 0 for O")
        << rec("O", "", "5", "") << int(ColPush) << "0" << rec("O", "", "5", "") << level;
    QTest::newRow("level 11 for C")
        << rec("C", "", "5", "") << int(ColPush) << "11" << rec("C", "", "5", "") << level;
    QTest::newRow("level 10 for U")
        << rec("U", "1.00", "5", "") << int(ColPush) << "10" << rec("U", "1.00", "5", "10") << "";
    QTest::newRow("level without mode")
        << rec("", "", "", "") << int(ColPush) << "0" << rec("", "", "", "") << level;
    QTest::newRow("level for A cleared")
        << rec("A", "1.00", "5", "") << int(ColPush) << "5" << rec("A", "1.00", "5", "") << "";
    QTest::newRow("level keypad minus")
        << rec("C", "", "5", "") << int(ColPush) << "-3" << rec("C", "", "5", "") << level;
    QTest::newRow("level 0.5 refused")
        << rec("C", "", "5", "") << int(ColPush) << "0.5" << rec("C", "", "5", "") << level;
    QTest::newRow("level 2.5 to even")
        << rec("C", "", "5", "") << int(ColPush) << "2.5" << rec("C", "", "5", "2") << "";
}

void TestPointRules::changeCheck() {
    QFETCH(PointRecord, before);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(PointRecord, after);
    QFETCH(QString, message);

    ScriptedOperator op;
    PointTableData table;
    table[7] = before;
    *field(table[7], column) = typed;
    QVERIFY(applyChange(table, 7, column, op));
    QCOMPARE(table[7], after);
    if (message.isEmpty()) {
        QVERIFY(op.prompts.isEmpty());
    } else {
        QCOMPARE(op.prompts.size(), 1);
        QCOMPARE(op.last().kind, QString("message"));
        QCOMPARE(op.last().title, QString("error"));
        QCOMPARE(op.last().text, message);
        QCOMPARE(op.last().icon, Icon::Warning);
    }
    // The other rows are left alone.
    table[7] = {};
    QCOMPARE(table, PointTableData{});
}

void TestPointRules::teachingSetClearsPushPositionsOfTheFirstHalf() {
    ScriptedOperator op;
    PointTableData table;
    table[0] = rec("O", "5.00", "5", "3"); // positions of O/C points can arrive from a file
    table[31] = rec("C", "6.00", "5", "3");
    table[32] = rec("C", "7.00", "5", "3");
    table[3] = rec("A", "8.00", "5", "");
    table[3].position = "9.5";
    QVERIFY(applyChange(table, 3, ColPosition, op, true));
    QCOMPARE(table[0].position, QString());
    QCOMPARE(table[31].position, QString());
    QCOMPARE(table[32].position, QString("7.00"));
    QCOMPARE(table[3].position, QString("9.50"));

    // Without the teaching SET the other rows keep their positions.
    table[0].position = "5.00";
    QVERIFY(applyChange(table, 3, ColPosition, op, false));
    QCOMPARE(table[0].position, QString("5.00"));
}

void TestPointRules::strokeRoundsHalfToEven() {
    QCOMPARE(strokeMillimetres(2000), 20);
    QCOMPARE(strokeMillimetres(4000), 40);
    QCOMPARE(strokeMillimetres(2050), 20);
    QCOMPARE(strokeMillimetres(2150), 22);
    QCOMPARE(strokeMillimetres(2051), 21);
    QCOMPARE(strokeMillimetres(-2050), -20);
}

void TestPointRules::validity_data() {
    QTest::addColumn<PointRecord>("point");
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("stroke");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    const QString incomplete = "Data is not completed. Please check data.";
    const QString abnormal = "Data abnormality";
    const QString untransmitted = "Data un-transmitting";
    const QString stroke =
        "Values more than stroke are input. Please confirm position data entry value of "
        "point No.4.";
    const QString oc = "O,C mode speed range of actuator type No.%1 is 1.00 to 10.00 (mm/s)."
                       "\r\n\r\nPlease confirm speed data entry value of point No.4.";

    QTest::newRow("unused with note")
        << rec("", "", "", "", "spare") << "30" << 20 << Verdict::Valid << ""
        << "";
    QTest::newRow("unused with speed")
        << rec("", "", "5", "") << "30" << 20 << Verdict::Incomplete << untransmitted << incomplete;
    QTest::newRow("A without speed") << rec("A", "1.00", "", "") << "30" << 20
                                     << Verdict::Incomplete << untransmitted << incomplete;
    QTest::newRow("C without level") << rec("C", "", "5", "") << "30" << 20 << Verdict::Incomplete
                                     << untransmitted << incomplete;
    QTest::newRow("U without position") << rec("U", "", "5", "3") << "30" << 20
                                        << Verdict::Incomplete << untransmitted << incomplete;
    QTest::newRow("unknown mode") << rec("X", "1.00", "5", "3") << "30" << 20 << Verdict::Incomplete
                                  << untransmitted << incomplete;
    QTest::newRow("A 60 type 30") << rec("A", "1.00", "60", "") << "30" << 20
                                  << Verdict::SpeedOutOfRange << abnormal << m2("30", 50, 4);
    QTest::newRow("A 60 type 31") << rec("A", "1.00", "60", "") << "31" << 40
                                  << Verdict::SpeedOutOfRange << abnormal << m2("31", 50, 4);
    QTest::newRow("A 60 type 32") << rec("A", "1.00", "60", "") << "32" << 20 << Verdict::Valid
                                  << ""
                                  << "";
    QTest::newRow("U 121 type 33") << rec("U", "1.00", "121", "2") << "33" << 40
                                   << Verdict::SpeedOutOfRange << abnormal << m2("33", 120, 4);
    QTest::newRow("lower-case a checked")
        << rec("a", "1.00", "60", "") << "30" << 20 << Verdict::SpeedOutOfRange << abnormal
        << m2("30", 50, 4);
    QTest::newRow("I 0.99 type 32") << rec("I", "1.00", "0.99", "") << "32" << 20
                                    << Verdict::SpeedOutOfRange << abnormal << m2("32", 120, 4);
    QTest::newRow("no type, no A speed rule")
        << rec("A", "1.00", "200", "") << "" << 20 << Verdict::Valid << ""
        << "";
    // A type without a speed rule of its own still takes no more than the grid's 120 mm/s.
    QTest::newRow("other type, the grid's speed rule")
        << rec("I", "1.00", "200", "") << "34" << 20 << Verdict::SpeedOutOfRange << abnormal
        << "Please set a value within 1 to 120 mm/s.";
    QTest::newRow("other type, 120 passes")
        << rec("I", "1.00", "120", "") << "34" << 20 << Verdict::Valid << ""
        << "";
    QTest::newRow("O 10.00") << rec("O", "", "10.00", "1") << "30" << 20 << Verdict::Valid << ""
                             << "";
    QTest::newRow("O 10.01") << rec("O", "", "10.01", "1") << "30" << 20 << Verdict::SpeedOutOfRange
                             << abnormal << oc.arg("30");
    QTest::newRow("C 0 without type")
        << rec("C", "", "0", "1") << "" << 20 << Verdict::SpeedOutOfRange << abnormal << oc.arg("");
    QTest::newRow("position 20.00")
        << rec("A", "20.00", "5", "") << "30" << 20 << Verdict::Valid << ""
        << "";
    QTest::newRow("position -20.00")
        << rec("U", "-20.00", "5", "1") << "30" << 20 << Verdict::Valid << ""
        << "";
    QTest::newRow("position 20.01") << rec("A", "20.01", "5", "") << "30" << 20
                                    << Verdict::PositionOutOfRange << abnormal << stroke;
    QTest::newRow("position -20.01") << rec("I", "-20.01", "5", "") << "30" << 20
                                     << Verdict::PositionOutOfRange << abnormal << stroke;
    QTest::newRow("position no number") << rec("A", "1/2", "5", "") << "30" << 20
                                        << Verdict::PositionOutOfRange << abnormal << stroke;
    QTest::newRow("speed before position")
        << rec("A", "99.00", "60", "") << "30" << 20 << Verdict::SpeedOutOfRange << abnormal
        << m2("30", 50, 4);
    QTest::newRow("O position not checked")
        << rec("O", "99.00", "5", "1") << "30" << 20 << Verdict::Valid << ""
        << "";
    // What is checked is what is sent: no blank and no line end may ride along.
    QTest::newRow("level with a command") << rec("C", "", "5", "3\r\n@INIT PNT ,") << "30" << 20
                                          << Verdict::Incomplete << untransmitted << incomplete;
    QTest::newRow("position with a line end") << rec("A", "10.00\r\n", "5", "") << "30" << 20
                                              << Verdict::PositionOutOfRange << abnormal << stroke;
    QTest::newRow("speed with a blank, unknown type")
        << rec("I", "1.00", "5 ", "") << "" << 20 << Verdict::Incomplete << untransmitted
        << incomplete;
}

void TestPointRules::validity() {
    QFETCH(PointRecord, point);
    QFETCH(QString, type);
    QFETCH(int, stroke);
    QFETCH(Verdict, verdict);
    QFETCH(QString, title);
    QFETCH(QString, text);
    const Validity v = checkPoint(point, 4, type, stroke);
    QCOMPARE(v.verdict, verdict);
    QCOMPARE(v.title, title);
    QCOMPARE(v.text, text);

    ScriptedOperator op;
    v.show(op);
    if (v.ok()) {
        QVERIFY(op.prompts.isEmpty());
    } else {
        QCOMPARE(v.point, 4);
        QCOMPARE(op.prompts.size(), 1);
        QCOMPARE(op.last().title, title);
        QCOMPARE(op.last().text, text);
        QCOMPARE(op.last().icon, Icon::None);
    }
}

void TestPointRules::tableStopsAtTheFirstFailure() {
    PointTableData table;
    QVERIFY(checkTable(table, "30", 20).ok());
    table[9] = rec("", "", "5", "");        // incomplete
    table[5] = rec("A", "12.50", "60", ""); // speed too high for type 30
    Validity v = checkTable(table, "30", 20);
    QCOMPARE(v.verdict, Verdict::SpeedOutOfRange);
    QCOMPARE(v.point, 5);
    QCOMPARE(v.text, m2("30", 50, 5));
    // Without the type (first pass) point 5 passes and point 9 is the first failure.
    v = checkTable(table, "", 20);
    QCOMPARE(v.verdict, Verdict::Incomplete);
    QCOMPARE(v.point, 9);
}

// The controller stores speeds and pushing levels as whole numbers: a fraction a file brought
// in is refused before anything is erased (checkPoint) and before a file's first table is
// written (valueProblem), naming the point, the field and why.
void TestPointRules::wholeNumbersOnly_data() {
    QTest::addColumn<PointRecord>("point");
    QTest::addColumn<QString>("beside"); // empty: sent
    QTest::newRow("A speed 30.5") << rec("A", "1.00", "30.5", "")
                                  << "Point 4, Speed: \"30.5\" is not a whole number";
    QTest::newRow("C speed 5.5") << rec("C", "", "5.5", "3")
                                 << "Point 4, Speed: \"5.5\" is not a whole number";
    QTest::newRow("U level 3.5") << rec("U", "1.00", "10", "3.5")
                                 << "Point 4, Pushing level: \"3.5\" is not a whole number";
    QTest::newRow("whole value with decimals") << rec("O", "", "10.00", "3.0") << "";
    QTest::newRow("level of an A point is not sent") << rec("A", "1.00", "10", "3.5") << "";
}

void TestPointRules::wholeNumbersOnly() {
    QFETCH(PointRecord, point);
    QFETCH(QString, beside);
    const Validity v = checkPoint(point, 4, "32", 20);
    const auto problem = valueProblem(point, 4);
    if (beside.isEmpty()) {
        QVERIFY(v.ok());
        QVERIFY(!problem);
        return;
    }
    QCOMPARE(v.verdict, Verdict::Incomplete);
    QCOMPARE(v.title, "Data un-transmitting");
    QCOMPARE(v.text, "Data is not completed. Please check data.");
    QCOMPARE(v.informative, beside);
    QVERIFY(problem);
    QCOMPARE(problem->text(), beside);
}

void TestPointRules::transmissionFields() {
    QCOMPARE(PointRules::transmissionFields(rec("A", "12.50", "30", "", "n")),
             QStringList({"A", "12.50", "30"}));
    // The mode goes out in upper case, as the table stores it.
    QCOMPARE(PointRules::transmissionFields(rec("i", "1.00", "3", "9")),
             QStringList({"I", "1.00", "3"}));
    QCOMPARE(PointRules::transmissionFields(rec("C", "4.00", "5", "3")),
             QStringList({"C", "5", "3"}));
    QCOMPARE(PointRules::transmissionFields(rec("U", "-3.00", "20", "4")),
             QStringList({"U", "-3.00", "20", "4"}));
    QVERIFY(PointRules::transmissionFields(rec("", "", "", "", "n")).isEmpty());
}

void TestPointRules::modelEditsRunTheCheck() {
    ScriptedOperator op;
    PointTableModel model(op);
    QSignalSpy modified(&model, &PointTableModel::modifiedChanged);
    QVERIFY(!model.modified());
    QCOMPARE(model.tagText(), QString());

    QVERIFY(model.setData(model.index(2, ColPosition), "7"));
    QCOMPARE(model.index(2, ColPosition).data().toString(), QString("7.00"));
    QVERIFY(model.modified());
    QCOMPARE(model.tagText(), QString("Change"));
    QCOMPARE(modified.size(), 1);

    QVERIFY(model.setData(model.index(2, ColMode), "A"));
    QVERIFY(model.setData(model.index(2, ColSpeed), "40"));
    QVERIFY(model.setData(model.index(2, ColMode), "c"));
    QCOMPARE(model.point(2), rec("C", "", "35", ""));
    QCOMPARE(modified.size(), 1); // already set

    QVERIFY(model.setData(model.index(2, ColSpeed), "11"));
    QCOMPARE(model.point(2).speed, QString());
    QCOMPARE(op.texts("message"), QStringList{"Please set a value within 1 to 10 mm/s."});

    // The point number is fixed.
    QVERIFY(!model.setData(model.index(2, ColNumber), "9"));
    QCOMPARE(model.index(2, ColNumber).data().toString(), QString("2"));

    model.setModified(false);
    QCOMPARE(modified.size(), 2);
    QCOMPARE(modified.last().first().toBool(), false);
    // An unchanged text is no edit.
    QVERIFY(model.setData(model.index(2, ColMode), "C"));
    QVERIFY(!model.modified());

    // The teaching SET writes a position and clears the positions of O and C points.
    PointTableData table = model.table();
    table[1] = rec("O", "3.00", "5", "2");
    model.setTable(table);
    model.teachPosition(4, "-1.5");
    QCOMPARE(model.point(4).position, QString("-1.50"));
    QCOMPARE(model.point(1).position, QString());
    QVERIFY(model.modified());
}

void TestPointRules::modelBulkLoadsRunNoCheck() {
    ScriptedOperator op;
    PointTableModel model(op);
    PointTableData table;
    table[0] = rec("X", "1/2", "500", "0", "from a file");
    model.setTable(table);
    QCOMPARE(model.table(), table);
    QVERIFY(!model.modified());

    model.setChecksSuspended(true);
    QVERIFY(model.setData(model.index(0, ColSpeed), "900"));
    QCOMPARE(model.point(0).speed, QString("900"));
    QVERIFY(!model.modified());
    model.setChecksSuspended(false);

    // The next change in the row tidies it; the speed is checked only when it is edited.
    QVERIFY(model.setData(model.index(0, ColNote), "checked"));
    QCOMPARE(model.point(0), rec("", "", "900", "0", "checked"));
    QVERIFY(op.prompts.isEmpty());

    model.clear();
    QCOMPARE(model.table(), PointTableData{});
}

void TestPointRules::modelActivation() {
    ScriptedOperator op;
    PointTableModel model(op);
    op.modes = QStringList{"U", ""};
    op.keypadValues = QStringList{"-2.5", "", "0"};

    QVERIFY(model.activate(model.index(3, ColMode)));
    QCOMPARE(model.point(3).mode, QString("U"));
    QVERIFY(model.activate(model.index(3, ColPosition)));
    QCOMPARE(model.point(3).position, QString("-2.50"));
    // Cancel in the mode dialog or an empty keypad result keeps the cell.
    QVERIFY(!model.activate(model.index(3, ColMode)));
    QCOMPARE(model.point(3).mode, QString("U"));
    QVERIFY(!model.activate(model.index(3, ColPosition)));
    QCOMPARE(model.point(3).position, QString("-2.50"));
    // A keypad value runs the same check as typing.
    QVERIFY(model.activate(model.index(3, ColSpeed)));
    QCOMPARE(model.point(3).speed, QString());
    QCOMPARE(op.texts("message"), QStringList{"Please set a value within 1 to 120 mm/s."});
    // Number and note columns open nothing.
    QVERIFY(!model.activate(model.index(3, ColNumber)));
    QVERIFY(!model.activate(model.index(3, ColNote)));
    QCOMPARE(op.prompts.size(), 6);

    // Locked by the drive panel: nothing opens and nothing is editable.
    model.setLocked(true);
    QVERIFY(!model.activate(model.index(3, ColMode)));
    QCOMPARE(op.prompts.size(), 6);
    QVERIFY(!(model.flags(model.index(3, ColMode)) & Qt::ItemIsEditable));
    model.setLocked(false);
    QVERIFY(model.flags(model.index(3, ColMode)) & Qt::ItemIsEditable);
}

void TestPointRules::modelLayout() {
    ScriptedOperator op;
    PointTableModel model(op);
    QCOMPARE(model.rowCount(), 64);
    QCOMPARE(model.columnCount(), 6);
    const QStringList headers{"PntNo",           "Mode",
                              "Position (mm) ",  "Speed (mm/s) ",
                              "Pushing level  ", "                 Note"};
    const QList<int> widths{40, 75, 85, 85, 85, 240};
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers[c]);
        QCOMPARE(PointTableModel::columnWidth(c), widths[c]);
    }
    QCOMPARE(model.index(63, ColNumber).data().toString(), QString("63"));
    QVERIFY(!(model.flags(model.index(0, ColNumber)) & Qt::ItemIsEditable));
    QCOMPARE(PointTableModel::CellColourBgr, 0xFFC0C0u);
}

QTEST_GUILESS_MAIN(TestPointRules)
#include "tst_pointrules.moc"
