#include "tables/SoftLimit.h"

#include <QtTest>

class TestSoftLimit final : public QObject {
    Q_OBJECT
  private slots:
    void validate_data();
    void validate();
    void keyFilters_data();
    void keyFilters();
    void displayTexts();
    void suggestionsAreAccepted_data();
    void suggestionsAreAccepted();
};

namespace {
const QString PlusMsg = QStringLiteral("Please set a value within 0 to 9999");
const QString MinusMsg = QStringLiteral("Please set a value within 0 to -9999");
} // namespace

void TestSoftLimit::validate_data() {
    QTest::addColumn<QString>("plusText");
    QTest::addColumn<QString>("minusText");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<double>("plus");
    QTest::addColumn<int>("minus");

    QTest::newRow("ordinary") << "2000"
                              << "-100"
                              << "" << 2000.0 << -100;
    QTest::newRow("both zero") << "0"
                               << "0"
                               << "" << 0.0 << 0;
    QTest::newRow("minus zero with sign") << "10"
                                          << "-0"
                                          << "" << 10.0 << 0;
    QTest::newRow("minus lower bound") << "9999"
                                       << "-9999"
                                       << "" << 9999.0 << -9999;
    QTest::newRow("leading zeros") << "0050"
                                   << "-0050"
                                   << "" << 50.0 << -50;
    QTest::newRow("zeros without sign") << "1"
                                        << "000"
                                        << "" << 1.0 << 0;
    QTest::newRow("blanks around") << " 12 "
                                   << " -3 "
                                   << "" << 12.0 << -3;

    QTest::newRow("plus empty") << ""
                                << "-1" << PlusMsg << 0.0 << 0;
    QTest::newRow("plus negative") << "-5"
                                   << "-1" << PlusMsg << 0.0 << 0;
    QTest::newRow("plus minus zero") << "-0"
                                     << "-1" << PlusMsg << 0.0 << 0;
    QTest::newRow("plus too large") << "10000"
                                    << "-1" << PlusMsg << 0.0 << 0;
    QTest::newRow("plus letters") << "12a"
                                  << "-1" << PlusMsg << 0.0 << 0;
    QTest::newRow("plus exponent") << "1e3"
                                   << "-1" << PlusMsg << 0.0 << 0;
    // The plus box is checked first even when the minus box is wrong too.
    QTest::newRow("both wrong") << ""
                                << "" << PlusMsg << 0.0 << 0;

    QTest::newRow("minus empty") << "1"
                                 << "" << MinusMsg << 0.0 << 0;
    QTest::newRow("minus lone sign") << "1"
                                     << "-" << MinusMsg << 0.0 << 0;
    QTest::newRow("minus positive") << "1"
                                    << "5" << MinusMsg << 0.0 << 0;
    QTest::newRow("minus too low") << "1"
                                   << "-10000" << MinusMsg << 0.0 << 0;
    QTest::newRow("minus far too low") << "1"
                                       << "-99999999999999999999999" << MinusMsg << 0.0 << 0;
    QTest::newRow("second sign") << "1"
                                 << "-5-" << MinusMsg << 0.0 << 0;
    QTest::newRow("double sign") << "1"
                                 << "--5" << MinusMsg << 0.0 << 0;
    QTest::newRow("sign inside zero") << "1"
                                      << "0-5" << MinusMsg << 0.0 << 0;
    QTest::newRow("minus letters") << "1"
                                   << "-x" << MinusMsg << 0.0 << 0;
    QTest::newRow("minus decimal") << "1"
                                   << "-5.5" << MinusMsg << 0.0 << 0;
}

void TestSoftLimit::validate() {
    QFETCH(QString, plusText);
    QFETCH(QString, minusText);
    QFETCH(QString, message);
    QFETCH(double, plus);
    QFETCH(int, minus);

    const SoftLimit::Result r = SoftLimit::validate(plusText, minusText);
    QCOMPARE(r.message, message);
    QCOMPARE(r.accepted, message.isEmpty());
    if (r.accepted) {
        QCOMPARE(r.plus, plus);
        QCOMPARE(r.minus, minus);
    }
}

void TestSoftLimit::keyFilters_data() {
    QTest::addColumn<QChar>("ch");
    QTest::addColumn<bool>("plusBox");
    QTest::addColumn<bool>("minusBox");

    QTest::newRow("digit") << QChar('7') << true << true;
    QTest::newRow("minus") << QChar('-') << false << true;
    QTest::newRow("backspace") << QChar(8) << true << true;
    QTest::newRow("enter") << QChar(13) << true << true;
    QTest::newRow("point") << QChar('.') << false << false;
    QTest::newRow("letter") << QChar('a') << false << false;
    QTest::newRow("plus sign") << QChar('+') << false << false;
    QTest::newRow("paste control") << QChar(22) << false << false;
}

void TestSoftLimit::keyFilters() {
    QFETCH(QChar, ch);
    QFETCH(bool, plusBox);
    QFETCH(bool, minusBox);
    QCOMPARE(SoftLimit::acceptsKey(SoftLimit::Field::Plus, ch), plusBox);
    QCOMPARE(SoftLimit::acceptsKey(SoftLimit::Field::Minus, ch), minusBox);
}

void TestSoftLimit::displayTexts() {
    QCOMPARE(SoftLimit::plusText(2000), QString("2000"));
    QCOMPARE(SoftLimit::minusText(-100), QString("-100"));
    QCOMPARE(SoftLimit::minusText(0), QString("0"));
    // What the dialog shows must pass its own check unchanged.
    QVERIFY(SoftLimit::validate(SoftLimit::plusText(9999), SoftLimit::minusText(-9999)).accepted);
}

// Whatever the suggestion, the dialog shows values its own check accepts, and says when they
// were moved.
void TestSoftLimit::suggestionsAreAccepted_data() {
    QTest::addColumn<double>("plus");
    QTest::addColumn<int>("minus");
    QTest::addColumn<double>("shownPlus");
    QTest::addColumn<int>("shownMinus");
    QTest::newRow("inside") << 1700.0 << -320 << 1700.0 << -320;
    QTest::newRow("minus above 0") << 3250.0 << 1230 << 3250.0 << 0;
    QTest::newRow("minus below -9999") << 100.0 << -12000 << 100.0 << -9999;
    QTest::newRow("plus below 0") << -10.0 << -2030 << 0.0 << -2030;
    QTest::newRow("plus above 9999") << 11000.0 << 0 << 9999.0 << 0;
    QTest::newRow("plus with a fraction") << 1234.5 << -1 << 1234.5 << -1;
}

void TestSoftLimit::suggestionsAreAccepted() {
    QFETCH(double, plus);
    QFETCH(int, minus);
    QFETCH(double, shownPlus);
    QFETCH(int, shownMinus);
    const SoftLimit::Nearest n = SoftLimit::nearestAccepted(plus, minus);
    QCOMPARE(n.plus, shownPlus);
    QCOMPARE(n.minus, shownMinus);
    QCOMPARE(n.note.isEmpty(), plus == shownPlus && minus == shownMinus);
    const SoftLimit::Result r =
        SoftLimit::validate(SoftLimit::plusText(n.plus), SoftLimit::minusText(n.minus));
    QVERIFY(r.accepted);
}

QTEST_GUILESS_MAIN(TestSoftLimit)
#include "tst_softlimit.moc"
