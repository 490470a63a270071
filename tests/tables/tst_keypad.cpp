#include "tables/Keypad.h"

#include <QtTest>

class TestKeypad final : public QObject {
    Q_OBJECT
  private slots:
    void sequences_data();
    void sequences();
    void fromACell_data();
    void fromACell();
    void clearForgetsThePoint();
    void unknownKeysAreIgnored();
};

void TestKeypad::sequences_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("value");

    QTest::newRow("start") << QString() << QStringList{} << "0";
    QTest::newRow("second point ignored") << QString() << QStringList{"5", ".", "2", "."} << "5.2";
    QTest::newRow("minus then digit") << QString() << QStringList{"-", "3"} << "-3";
    QTest::newRow("minus twice") << QString() << QStringList{"-", "-"} << "0";
    QTest::newRow("zeros stay one zero") << QString() << QStringList{"0", "0"} << "0";
    QTest::newRow("leading zero replaced") << QString() << QStringList{"0", "7", "0"} << "70";
    QTest::newRow("point after zero") << QString() << QStringList{"0", ".", "0", "5"} << "0.05";
    QTest::newRow("sign toggled after digits") << QString() << QStringList{"1", "2", "-"} << "-12";
    QTest::newRow("sign removed after digits") << QString() << QStringList{"1", "-", "-"} << "1";
    QTest::newRow("minus zero point") << QString() << QStringList{"-", ".", "5"} << "-0.5";
    QTest::newRow("zero after minus appended") << QString() << QStringList{"-", "0"} << "-00";
    QTest::newRow("all digits") << QString()
                                << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}
                                << "1234567890";
    QTest::newRow("clear mid value") << QString() << QStringList{"9", "9", "CLR", "4"} << "4";
}

void TestKeypad::sequences() {
    QFETCH(QString, start);
    QFETCH(QStringList, keys);
    QFETCH(QString, value);
    Keypad pad(start);
    for (const QString& k : keys)
        pad.press(k);
    QCOMPARE(pad.value(), value);
}

// Opened on a cell, the cell's text is shown as a selected value: what the operator types is
// what the cell gets.
void TestKeypad::fromACell_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("value");

    QTest::newRow("nothing typed keeps the text") << "-17.75" << QStringList{} << "-17.75";
    QTest::newRow("digits replace, sign dropped")
        << "-17.75" << QStringList{"5", ".", "5", "5"} << "5.55";
    QTest::newRow("zone value replaced") << "15.00" << QStringList{"1", "2", ".", "5"} << "12.5";
    QTest::newRow("point replaces") << "15.00" << QStringList{".", "5"} << "0.5";
    QTest::newRow("zero replaces") << "15.00" << QStringList{"0"} << "0";
    QTest::newRow("cell's point not carried") << "1.5" << QStringList{"2", ".", "7"} << "2.7";
    QTest::newRow("second point still ignored")
        << "8" << QStringList{"3", ".", "1", ".", "4"} << "3.14";
    QTest::newRow("minus toggles what is shown") << "-3" << QStringList{"-"} << "3";
    QTest::newRow("minus then digits keep the sign") << "15.00" << QStringList{"-", "3"} << "-3";
    QTest::newRow("minus on a negative, then digits") << "-17.75" << QStringList{"-", "4"} << "4";
    QTest::newRow("minus twice, then digits") << "2.5" << QStringList{"-", "-", "4"} << "4";
    QTest::newRow("minus after typing") << "9.99" << QStringList{"7", "-"} << "-7";
    QTest::newRow("minus then point") << "15.00" << QStringList{"-", ".", "5"} << "-0.5";
    QTest::newRow("clear then digits") << "15.00" << QStringList{"CLR", "6"} << "6";
    QTest::newRow("clear alone") << "15.00" << QStringList{"CLR"} << "0";
}

void TestKeypad::fromACell() {
    QFETCH(QString, start);
    QFETCH(QStringList, keys);
    QFETCH(QString, value);
    Keypad pad(start);
    QVERIFY(pad.isSelected());
    for (const QString& k : keys)
        pad.press(k);
    QCOMPARE(pad.value(), value);
    if (!keys.isEmpty() && keys != QStringList{"-"})
        QVERIFY(!pad.isSelected());
}

void TestKeypad::clearForgetsThePoint() {
    Keypad pad;
    for (int key : {1, int(Keypad::Point), 5})
        pad.press(key);
    QCOMPARE(pad.value(), QString("1.5"));
    QVERIFY(pad.hasPoint());
    pad.press(Keypad::Clear);
    QCOMPARE(pad.value(), QString("0"));
    QVERIFY(!pad.hasPoint());
    pad.press(Keypad::Point);
    pad.press(2);
    QCOMPARE(pad.value(), QString("0.2"));
}

void TestKeypad::unknownKeysAreIgnored() {
    Keypad pad;
    pad.press(3);
    pad.press(-1);
    pad.press(13);
    pad.press(QStringLiteral("x"));
    pad.press(QString());
    QCOMPARE(pad.value(), QString("3"));
    QCOMPARE(Keypad::caption(Keypad::Clear), QString("CLR"));
    QCOMPARE(Keypad::caption(13), QString());
}

QTEST_GUILESS_MAIN(TestKeypad)
#include "tst_keypad.moc"
