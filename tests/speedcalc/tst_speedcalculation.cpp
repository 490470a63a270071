// The slider operating speed calculation through its window, for every actuator type.
#include "speedcalc/ui/frmkeisan.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestSpeedCalculation : public QObject {
    Q_OBJECT
  private slots:
    void resultsPerType_data();
    void resultsPerType();
    void closeResetsAndUnknownTypeKeepsSelection();
};

void TestSpeedCalculation::resultsPerType_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("acceleration");
    QTest::newRow("30 QRX-A20") << "30" << 0 << "50.0"
                                << "500";
    QTest::newRow("31 QRX-A40") << "31" << 1 << "50.0"
                                << "500";
    QTest::newRow("32 QRX-B20") << "32" << 2 << "120.0"
                                << "1400";
    QTest::newRow("33 QRX-B40") << "33" << 3 << "120.0"
                                << "1400";
}

void TestSpeedCalculation::resultsPerType() {
    QFETCH(QString, type);
    QFETCH(int, option);
    QFETCH(QString, speed);
    QFETCH(QString, acceleration);
    frmkeisan tool;
    tool.openFor(type);
    QCOMPARE(tool.selectedOption(), option);
    QVERIFY(tool.speedText().isEmpty()); // empty until Start calculation
    QTest::mouseClick(tool.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(tool.speedText(), speed);
    QCOMPARE(tool.accelerationText(), acceleration);
    QCOMPARE(tool.findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(option))->text(),
             type + " : QRX-" + (option < 2 ? "A" : "B") + (option % 2 ? "40" : "20"));
}

void TestSpeedCalculation::closeResetsAndUnknownTypeKeepsSelection() {
    frmkeisan tool;
    tool.openFor("33");
    tool.calculate();
    tool.close(); // by its frame, as Close
    QVERIFY(!tool.isVisible());
    QCOMPARE(tool.selectedOption(), 0);
    QVERIFY(tool.speedText().isEmpty() && tool.accelerationText().isEmpty());

    tool.findChild<QRadioButton*>("Option1_1")->setChecked(true);
    tool.openFor("34");
    QCOMPARE(tool.selectedOption(), 1);
    QCOMPARE(tool.windowTitle(), QString("Slider Operating Speed Calculation"));
}

QTEST_MAIN(TestSpeedCalculation)
#include "tst_speedcalculation.moc"
