#include "pointdata/DependentDisplays.h"
#include "pointdata/ParameterRules.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointRules.h"

#include "ScriptedOperator.h"

#include <QSignalSpy>
#include <QtTest>

using Icon = OperatorInteraction::Icon;

class TestParameterRules final : public QObject {
    Q_OBJECT
  private slots:
    void typeDefaultsMatchTheTypeLists_data();
    void typeDefaultsMatchTheTypeLists();
    void unsupportedTypeEndsTheProgram();
    void resetTakesTheTypeFromTheTypeRow();
    void parameterNumbersMapToRows();
    void rangeBounds_data();
    void rangeBounds();
    void editCheck_data();
    void editCheck();
    void rowsNotHeldStayMarked();
    void decimalFormatting_data();
    void decimalFormatting();
    void dependentDisplays();
    void modelChecksOperatorEditsOnly();
    void modelLayout();
};

void TestParameterRules::typeDefaultsMatchTheTypeLists_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("stroke");
    QTest::addColumn<int>("speedLimit");
    QTest::newRow("30") << "30"
                        << "30,2000,-20,100,0,10,200,200,5,2000,1,5,10,5,100,0,0,0,0,5," << 2000
                        << 50;
    QTest::newRow("31") << "31"
                        << "31,4000,-20,100,0,10,200,200,5,4000,1,5,10,5,100,0,0,0,0,5," << 4000
                        << 50;
    QTest::newRow("32") << "32"
                        << "32,2000,-20,100,0,10,200,200,5,2000,1,5,10,5,100,0,0,0,0,5," << 2000
                        << 120;
    QTest::newRow("33") << "33"
                        << "33,4000,-20,100,0,10,200,200,5,4000,1,5,10,5,100,0,0,0,0,5," << 4000
                        << 120;
}

void TestParameterRules::typeDefaultsMatchTheTypeLists() {
    QFETCH(QString, type);
    QFETCH(QString, list);
    QFETCH(int, stroke);
    QFETCH(int, speedLimit);
    QCOMPARE(PointParameters::defaultList(type), list);
    QCOMPARE(PointParameters::stroke(type), stroke);
    QCOMPARE(PointParameters::transmitSpeedLimit(type), speedLimit);

    // Filling the initial values of a start-up table puts value k into row k, settings stay.
    ScriptedOperator op;
    ParameterTableData table = ParameterRules::startupTable();
    table[5].setting = "7";
    QVERIFY(ParameterRules::fillInitialValues(table, type, op));
    const QStringList values = list.split(',');
    for (int k = 0; k < ParameterCount; ++k)
        QCOMPARE(table[k].initial, values[k]);
    QCOMPARE(table[5].setting, QString("7"));
    QCOMPARE(table[0].setting, QString("30"));
    QVERIFY(op.prompts.isEmpty());
}

void TestParameterRules::unsupportedTypeEndsTheProgram() {
    ScriptedOperator op;
    ParameterTableData table = ParameterRules::startupTable();
    const ParameterTableData before = table;
    QVERIFY(!ParameterRules::fillInitialValues(table, "34", op));
    QCOMPARE(table, before);
    QCOMPARE(op.endCalls, 1);
    QCOMPARE(op.prompts.size(), 1);
    QCOMPARE(op.last().kind, QString("message"));
    QCOMPARE(op.last().title, QString("Controller type"));
    QCOMPARE(op.last().text, QString("Controller type is different."));
    QCOMPARE(op.last().icon, Icon::Warning);
    QCOMPARE(PointParameters::stroke("34"), 4000);
}

void TestParameterRules::resetTakesTheTypeFromTheTypeRow() {
    ScriptedOperator op;
    ParameterTableData table = ParameterRules::startupTable();
    table[0].setting = "31";
    table[1].setting = "1234";
    table[17].setting = "1";
    QVERIFY(ParameterRules::resetToDefaults(table, op));
    QCOMPARE(table, PointParameters::initialTable("31"));

    table[0].setting = "";
    QVERIFY(!ParameterRules::resetToDefaults(table, op));
    QCOMPARE(op.endCalls, 1);
    QCOMPARE(table[1].setting, QString("4000"));
}

void TestParameterRules::parameterNumbersMapToRows() {
    ParameterTableData table = ParameterRules::startupTable();
    QVERIFY(ParameterRules::setSettingValue(table, 35, "-1250"));
    QCOMPARE(table[18].setting, QString("-1250"));
    QCOMPARE(ParameterRules::settingValue(table, 21), QString("2000"));
    QCOMPARE(ParameterRules::settingValue(table, 0), QString("30"));
    // Numbers the table does not hold.
    QVERIFY(!ParameterRules::setSettingValue(table, 3, "1"));
    QVERIFY(ParameterRules::settingValue(table, 37).isEmpty());
    QCOMPARE(table, [] {
        ParameterTableData t = ParameterRules::startupTable();
        t[18].setting = "-1250";
        return t;
    }());
}

void TestParameterRules::rangeBounds_data() {
    QTest::addColumn<QString>("range");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<float>("lower");
    QTest::addColumn<float>("upper");
    QTest::newRow("unit") << "1 to 100 (%)" << true << 1.0f << 100.0f;
    QTest::newRow("negative lower") << "-9999 to 0 (*0.01mm)" << true << -9999.0f << 0.0f;
    QTest::newRow("both signed") << "-4000 to 4000 (*0.01mm)" << true << -4000.0f << 4000.0f;
    QTest::newRow("type row") << "30 to 33" << false << 0.0f << 0.0f;
    QTest::newRow("choice") << "0: English  1: Japanese" << false << 0.0f << 0.0f;
}

void TestParameterRules::rangeBounds() {
    QFETCH(QString, range);
    QFETCH(bool, numeric);
    const auto b = ParameterRules::bounds(range);
    QCOMPARE(b.has_value(), numeric);
    if (numeric) {
        QFETCH(float, lower);
        QFETCH(float, upper);
        QCOMPARE(b->first, lower);
        QCOMPARE(b->second, upper);
    }
}

void TestParameterRules::editCheck_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("choice 2 -> initial") << "30" << 5 << "2"
                                         << "0";
    QTest::newRow("choice 1 kept") << "30" << 33 << "1"
                                   << "1";
    QTest::newRow("choice 1.0 -> initial") << "30" << 22 << "1.0"
                                           << "1";
    QTest::newRow("choice blank -> initial") << "30" << 22 << " 0"
                                             << "1";
    QTest::newRow("+soft 10000 type 30") << "30" << 1 << "10000"
                                         << "2000";
    QTest::newRow("+soft 10000 type 31") << "31" << 1 << "10000"
                                         << "4000";
    QTest::newRow("+soft 9999 kept") << "30" << 1 << "9999"
                                     << "9999";
    QTest::newRow("+soft 0 kept") << "30" << 1 << "0"
                                  << "0";
    QTest::newRow("-soft -5 kept") << "30" << 2 << "-5"
                                   << "-5";
    QTest::newRow("-soft 5 -> initial") << "30" << 2 << "5"
                                        << "-20";
    QTest::newRow("-soft -9999 kept") << "30" << 2 << "-9999"
                                      << "-9999";
    QTest::newRow("-soft -9999.5 -> initial") << "30" << 2 << "-9999.5"
                                              << "-20";
    QTest::newRow("fraction kept as typed") << "30" << 7 << "5.5"
                                            << "5.5";
    QTest::newRow("fraction trailing zero kept") << "30" << 8 << "12.50"
                                                 << "12.50";
    QTest::newRow("acceleration 0 -> initial") << "30" << 4 << "0"
                                               << "100";
    QTest::newRow("shift -9999 kept") << "30" << 35 << "-9999"
                                      << "-9999";
    QTest::newRow("single precision edge kept") << "30" << 1 << "9999.00001"
                                                << "9999.00001";
    QTest::newRow("empty -> initial") << "30" << 8 << ""
                                      << "200";
    QTest::newRow("letters -> initial") << "30" << 8 << "abc"
                                        << "200";
    QTest::newRow("trailing letters -> initial") << "30" << 8 << "12abc"
                                                 << "200";
    QTest::newRow("exponent -> initial") << "30" << 8 << "1e3"
                                         << "200";
    QTest::newRow("plus sign -> initial") << "30" << 8 << "+5"
                                          << "200";
    QTest::newRow("lone minus -> initial") << "32" << 31 << "-"
                                           << "0";
    QTest::newRow("type row 31 -> 30") << "30" << 0 << "31"
                                       << "30";
    QTest::newRow("type row 30 -> 33") << "33" << 0 << "30"
                                       << "33";
    QTest::newRow("type row own value") << "32" << 0 << "32"
                                        << "32";
}

void TestParameterRules::editCheck() {
    QFETCH(QString, type);
    QFETCH(int, number);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    ParameterTableData table = PointParameters::initialTable(type);
    const int row = PointParameters::rowOfParameter(number);
    table[row].setting = typed;
    const auto result = ParameterRules::checkEdit(table, row);
    QCOMPARE(table[row].setting, expected);
    // The type row never keeps an edit, even of its own value.
    const bool kept = typed == expected && number != 0;
    QCOMPARE(result,
             kept ? ParameterRules::EditResult::Kept : ParameterRules::EditResult::Replaced);
    // Only the edited cell changes.
    table[row].setting = PointParameters::initialTable(type)[row].setting;
    QCOMPARE(table, PointParameters::initialTable(type));
}

void TestParameterRules::rowsNotHeldStayMarked() {
    ParameterTableData table = ParameterRules::startupTable();
    table[3].initial = "**";
    table[3].setting = "50";
    QCOMPARE(ParameterRules::checkEdit(table, 3), ParameterRules::EditResult::NotHeld);
    QCOMPARE(table[3].setting, QString("**"));
}

void TestParameterRules::decimalFormatting_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("shift");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << "5" << 0 << "5.00";
    QTest::newRow("negative half") << "-3.5" << 0 << "-3.50";
    QTest::newRow("half up") << "1.005" << 0 << "1.01";
    QTest::newRow("below half") << "1.0049" << 0 << "1.00";
    QTest::newRow("carry") << "99.995" << 0 << "100.00";
    QTest::newRow("negative carry") << "-9.999" << 0 << "-10.00";
    QTest::newRow("no minus zero") << "-0.001" << 0 << "0.00";
    QTest::newRow("leading point") << ".5" << 0 << "0.50";
    QTest::newRow("trailing point") << "7." << 0 << "7.00";
    QTest::newRow("leading zeros") << "007.1" << 0 << "7.10";
    QTest::newRow("hundredths") << "-1250" << 2 << "-12.50";
    QTest::newRow("small hundredths") << "5" << 2 << "0.05";
    QTest::newRow("small negative") << "-5" << 2 << "-0.05";
    QTest::newRow("fraction of hundredths") << "5.5" << 2 << "0.06";
    QTest::newRow("slash") << "1/2" << 0 << "";
    QTest::newRow("lone minus") << "-" << 0 << "";
    QTest::newRow("lone point") << "." << 0 << "";
    QTest::newRow("empty") << "" << 2 << "";
}

void TestParameterRules::decimalFormatting() {
    QFETCH(QString, text);
    QFETCH(int, shift);
    QFETCH(QString, expected);
    QCOMPARE(CellText::fixed2(text, shift), expected);
}

void TestParameterRules::dependentDisplays() {
    ParameterTableData table = ParameterRules::startupTable();
    DependentDisplays d = DependentDisplays::compute(table);
    QCOMPARE(d.pushingSpeed, QString("10"));
    QCOMPARE(d.distance, QString("2.00"));
    QCOMPARE(d.limitWidth, QString("2.00"));
    QCOMPARE(d.maxPoint, QString("0.00"));
    QCOMPARE(d.minPoint, QString("0.00"));
    QVERIFY(!d.sizeDetectionValid);
    QCOMPARE(d.originShift, QString("Origin point shift: 0.00"));

    ParameterRules::setSettingValue(table, 7, "5.5");
    ParameterRules::setSettingValue(table, 8, "1");
    ParameterRules::setSettingValue(table, 9, "9999");
    ParameterRules::setSettingValue(table, 31, "4000");
    ParameterRules::setSettingValue(table, 32, "-399");
    ParameterRules::setSettingValue(table, 33, "1");
    ParameterRules::setSettingValue(table, 35, "-1250");
    d = DependentDisplays::compute(table);
    QCOMPARE(d.pushingSpeed, QString("5.5"));
    QCOMPARE(d.distance, QString("0.01"));
    QCOMPARE(d.limitWidth, QString("99.99"));
    QCOMPARE(d.maxPoint, QString("40.00"));
    QCOMPARE(d.minPoint, QString("-3.99"));
    QVERIFY(d.sizeDetectionValid);
    QCOMPARE(d.originShift, QString("Origin point shift: -12.50"));

    // Anything but 1 marks "Invalid"; a value that is not a number shows as 0.00.
    ParameterRules::setSettingValue(table, 33, "2");
    ParameterRules::setSettingValue(table, 35, "**");
    d = DependentDisplays::compute(table);
    QVERIFY(!d.sizeDetectionValid);
    QCOMPARE(d.originShift, QString("Origin point shift: 0.00"));
}

void TestParameterRules::modelChecksOperatorEditsOnly() {
    ScriptedOperator op;
    ParameterTableModel model(op);
    QSignalSpy edited(&model, &ParameterTableModel::edited);
    const int direction = PointParameters::rowOfParameter(5);
    const QModelIndex cell = model.index(direction, ParameterTableModel::ColSetting);

    QVERIFY(model.setData(cell, "2"));
    QCOMPARE(cell.data().toString(), QString("0"));
    QCOMPARE(edited.size(), 1);

    // Receiving: values are stored as they come, no check and no edit notice.
    model.setReceiving(true);
    QVERIFY(model.setData(cell, "2"));
    QCOMPARE(cell.data().toString(), QString("2"));
    QCOMPARE(edited.size(), 1);
    model.setReceiving(false);

    // The same text again is no edit.
    QVERIFY(model.setData(cell, "2"));
    QCOMPARE(edited.size(), 1);
    QVERIFY(model.setData(cell, "1"));
    QCOMPARE(cell.data().toString(), QString("1"));
    QCOMPARE(edited.size(), 2);

    // Only the Setting Value column takes edits.
    QVERIFY(!model.setData(model.index(direction, ParameterTableModel::ColNote), "x"));
    QVERIFY(!model.setData(model.index(direction, ParameterTableModel::ColInitial), "1"));

    // Program writes and bulk loads run no check.
    QVERIFY(model.setSettingValue(35, "-1250"));
    QCOMPARE(model.settingValue(35), QString("-1250"));
    ParameterTableData table = PointParameters::initialTable("33");
    table[1].setting = "99999";
    model.setTable(table);
    QCOMPARE(model.table(), table);
    QCOMPARE(model.actuatorType(), QString("33"));
    QVERIFY(model.resetToDefaults());
    QCOMPARE(model.table(), PointParameters::initialTable("33"));
    QCOMPARE(edited.size(), 2);
    QVERIFY(op.prompts.isEmpty());
}

void TestParameterRules::modelLayout() {
    ScriptedOperator op;
    ParameterTableModel model(op);
    QCOMPARE(model.rowCount(), 20);
    QCOMPARE(model.columnCount(), 5);
    const QStringList headers{"No", "Setting Value", "Setting Range     ", "Initial Value ",
                              "                 Note"};
    const QList<int> widths{25, 80, 230, 70, 220};
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers[c]);
        QCOMPARE(ParameterTableModel::columnWidth(c), widths[c]);
    }
    // The type row is fixed; the other Setting Values are editable, nothing else is.
    QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(1, 1)) & Qt::ItemIsEditable);
    QVERIFY(!(model.flags(model.index(1, 2)) & Qt::ItemIsEditable));
    QCOMPARE(model.index(19, 0).data().toString(), QString("36"));
    QCOMPARE(model.index(19, 4).data().toString(), QString("Origin point shift speed"));
    QCOMPARE(model.index(4, 2).data().toString(),
             QString("0: Cable side  1: Opposite to cable side"));
    QCOMPARE(ParameterTableModel::CellColourBgr, 0xFFC0C0u);
}

QTEST_GUILESS_MAIN(TestParameterRules)
#include "tst_parameterrules.moc"
