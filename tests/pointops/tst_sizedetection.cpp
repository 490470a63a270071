#include "DriveRig.h"

#include <QtTest>

using Icon = OperatorInteraction::Icon;
using Answer = OperatorInteraction::Answer;

Q_DECLARE_METATYPE(OperatorInteraction::Icon)

namespace {
QList<QByteArray> bytesList(std::initializer_list<const char*> lines) {
    QList<QByteArray> out;
    for (const char* l : lines)
        out << QByteArray(l);
    return out;
}
} // namespace

// Size detection of the point-input window against the in-process virtual controller.
class TestSizeDetection : public QObject {
    Q_OBJECT
  private slots:
    void keyFilter_data();
    void keyFilter();
    void boxChecks_data();
    void boxChecks();
    void teach_data();
    void teach();
    void switchFunction_data();
    void switchFunction();
    void sendPoints_data();
    void sendPoints();
};

void TestSizeDetection::keyFilter_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("accepted"); // one 1/0 per key
    QTest::newRow("direction") << SizeCtl::Direction << "CcOoxC1\b"
                               << "11110101";
    QTest::newRow("speed") << SizeCtl::Speed << "05.-a\r"
                           << "110001";
    QTest::newRow("level") << SizeCtl::Level << "9.\b"
                           << "101";
    QTest::newRow("point") << SizeCtl::Max << "-1.5e+"
                           << "111100";
}

void TestSizeDetection::keyFilter() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QString, accepted);
    QString got;
    for (const QChar ch : keys)
        got += SizeDetection::acceptsKey(box, ch) ? u'1' : u'0';
    QCOMPARE(got, accepted);
}

void TestSizeDetection::boxChecks_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how"); // "edit", "enter" or "leave"
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message"); // empty: no message
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<QString>("after");  // the box afterwards
    QTest::addColumn<QString>("stored"); // the parameter afterwards (point boxes)

    const QString range = "Please set a value within -40.00 to 40.00mm.";
    QTest::newRow("direction c") << SizeCtl::Direction << "c"
                                 << "edit"
                                 << ""
                                 << "" << Icon::None << "c"
                                 << "";
    QTest::newRow("direction x") << SizeCtl::Direction << "x"
                                 << "edit"
                                 << "Pushing direction"
                                 << "Please set a value within C or O" << Icon::Critical << ""
                                 << "";
    QTest::newRow("speed 05") << SizeCtl::Speed << "05"
                              << "edit"
                              << ""
                              << "" << Icon::None << "5"
                              << "";
    QTest::newRow("speed 11") << SizeCtl::Speed << "11"
                              << "edit"
                              << "Pushing speed"
                              << "Please set a value within 1 to 10 (mm/s)." << Icon::Critical << ""
                              << "";
    QTest::newRow("speed 0") << SizeCtl::Speed << "0"
                             << "edit"
                             << "Pushing speed"
                             << "Please set a value within 1 to 10 (mm/s)." << Icon::Critical << ""
                             << "";
    QTest::newRow("level 3.") << SizeCtl::Level << "3."
                              << "edit"
                              << "Pushing force level"
                              << "Cannot input decimal" << Icon::Critical << ""
                              << "";
    QTest::newRow("level 11") << SizeCtl::Level << "11"
                              << "edit"
                              << "Pushing force level"
                              << "Please set a value within 1 to 10" << Icon::Critical << ""
                              << "";
    QTest::newRow("max 12.5 leave") << SizeCtl::Max << "12.5"
                                    << "leave"
                                    << ""
                                    << "" << Icon::None << "12.50"
                                    << "1250";
    QTest::newRow("min -3 enter") << SizeCtl::Min << "-3"
                                  << "enter"
                                  << ""
                                  << "" << Icon::None << "-3.00"
                                  << "-300";
    QTest::newRow("max 41 enter") << SizeCtl::Max << "41"
                                  << "enter"
                                  << "error"
                                  << "Please set a value within -40.00 to 40.00mm" << Icon::Warning
                                  << "0.00"
                                  << "700";
    QTest::newRow("min 41 enter") << SizeCtl::Min << "41"
                                  << "enter"
                                  << "error" << range << Icon::Warning << "0.00"
                                  << "700";
    QTest::newRow("max 41 leave") << SizeCtl::Max << "41"
                                  << "leave"
                                  << "Maximum point" << range << Icon::Warning << "0.00"
                                  << "700";
    QTest::newRow("min -40.001 leave") << SizeCtl::Min << "-40.001"
                                       << "leave"
                                       << ""
                                       << "" << Icon::None << "-40.00"
                                       << "-4000";
    QTest::newRow("max 1.2.3 leave") << SizeCtl::Max << "1.2.3"
                                     << "leave"
                                     << "Maximum point"
                                     << "Please input maximum position" << Icon::Critical << "0.00"
                                     << "0";
    QTest::newRow("min - leave") << SizeCtl::Min << "-"
                                 << "leave"
                                 << "Minimum point"
                                 << "Please input minimum position" << Icon::Critical << "0.00"
                                 << "0";
    QTest::newRow("min - enter") << SizeCtl::Min << "-"
                                 << "enter"
                                 << ""
                                 << "" << Icon::None << "0.00"
                                 << "0";
}

void TestSizeDetection::boxChecks() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(Icon, icon);
    QFETCH(QString, after);
    QFETCH(QString, stored);
    DriveRig r;
    const bool pointBox = box == SizeCtl::Max || box == SizeCtl::Min;
    const int parameter = box == SizeCtl::Max ? 31 : 32;
    r.params.setSettingValue(parameter, "700"); // refused values leave it
    r.host.texts[box] = typed;
    if (how == "edit")
        r.size.edited(box);
    else
        r.size.pointLeft(box, how == "enter");
    if (message.isEmpty()) {
        QVERIFY(r.op.prompts.isEmpty());
    } else {
        QCOMPARE(r.op.prompts.size(), 1);
        QCOMPARE(r.op.last().title, title);
        QCOMPARE(r.op.last().text, message);
        QCOMPARE(r.op.last().icon, icon);
    }
    QCOMPARE(r.host.texts.value(box), after);
    if (pointBox)
        QCOMPARE(r.params.settingValue(parameter), stored);
}

void TestSizeDetection::teach_data() {
    QTest::addColumn<bool>("maximum");
    QTest::addColumn<QString>("type"); // the controller's parameter 0
    QTest::addColumn<QString>("speed");
    QTest::addColumn<bool>("noObject");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("box");

    const auto taught = bytesList({"@?PRM 0,\r\n", "@READ DIO ,\r\n", "@ORG ,\r\n",
                                   "@GMAX C,5,3\r\n", "@?PRM 31,\r\n", "@ORG ,\r\n"});
    QTest::newRow("maximum") << true << "30"
                             << "5" << false << taught << "Size detection has finished."
                             << "12.34";
    QTest::newRow("minimum") << false << "30"
                             << "5" << false
                             << bytesList({"@?PRM 0,\r\n", "@READ DIO ,\r\n", "@ORG ,\r\n",
                                           "@GMIN C,5,3\r\n", "@?PRM 32,\r\n", "@ORG ,\r\n"})
                             << "Size detection has finished."
                             << "12.34";
    QTest::newRow("no object") << true << "30"
                               << "5" << true
                               << bytesList({"@?PRM 0,\r\n", "@READ DIO ,\r\n", "@ORG ,\r\n",
                                             "@GMAX C,5,3\r\n", "@ORG ,\r\n"})
                               << "No pushing object is detected."
                               << "0.00";
    QTest::newRow("speed 20, type 84")
        << true << "84"
        << "20" << false
        << bytesList({"@?PRM 0,\r\n", "@READ DIO ,\r\n", "@ORG ,\r\n", "@GMAX C,20,3\r\n",
                      "@?PRM 31,\r\n", "@ORG ,\r\n"})
        << "Size detection has finished."
        << "12.34";
    QTest::newRow("speed 20, type 30")
        << true << "30"
        << "20" << false << bytesList({"@?PRM 0,\r\n"}) << "Please set in speed 0 to 10 (mm/s)."
        << "0.00";
    QTest::newRow("minimum speed 20, type 84")
        << false << "84"
        << "20" << false << bytesList({"@?PRM 0,\r\n"}) << "Please set in speed 0 to 10 (mm/s)."
        << "0.00";
}

void TestSizeDetection::teach() {
    QFETCH(bool, maximum);
    QFETCH(QString, type);
    QFETCH(QString, speed);
    QFETCH(bool, noObject);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QString, message);
    QFETCH(QString, box);
    DriveRig r;
    r.controller.setParameter(0, type);
    r.controller.setPushObjectAt(1234);
    r.controller.setNoPushObject(noObject);
    const char* pointBox = maximum ? SizeCtl::Max : SizeCtl::Min;
    r.host.texts[pointBox] = "0.00";
    r.host.texts[SizeCtl::Direction] = "C";
    r.host.texts[SizeCtl::Speed] = speed;
    r.host.texts[SizeCtl::Level] = "3";
    QStringList lockedDuring;
    r.op.onPrompt = [&](const ScriptedOperator::Prompt&) {
        lockedDuring << (r.host.commandsLocked && !r.host.isEnabled(Ctl::Set) &&
                                 !r.host.isEnabled(Ctl::Operation)
                             ? "locked"
                             : "open");
    };
    r.size.teach(maximum);
    QCOMPARE(r.lines(), lines);
    QCOMPARE(r.op.texts("message"), QStringList{message});
    QCOMPARE(r.op.last().title, QString("Size detection"));
    QCOMPARE(r.host.texts.value(pointBox), box);
    if (box == "12.34")
        QCOMPARE(r.params.settingValue(maximum ? 31 : 32), QString("1234"));
    QVERIFY(!lockedDuring.contains("open"));
    // Every way out gives the controls back.
    QVERIFY(!r.host.commandsLocked && r.host.isEnabled(Ctl::Set) &&
            r.host.isEnabled(Ctl::Operation) && r.host.isEnabled(Ctl::Setting));
    QVERIFY(!r.size.busy());
}

void TestSizeDetection::switchFunction_data() {
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("oldModel");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QString>("message");
    QTest::newRow("valid") << true << false
                           << bytesList(
                                  {"@READ DIO ,\r\n", "@WRITE PRM ,\r\n", "PRM33=1\r\n", "\x1a"})
                           << "Size detecting valid function";
    QTest::newRow("invalid") << false << false
                             << bytesList(
                                    {"@READ DIO ,\r\n", "@WRITE PRM ,\r\n", "PRM33=0\r\n", "\x1a"})
                             << "Size detecting invalid function";
    QTest::newRow("valid, old model") << true << true << bytesList({"@READ DIO ,\r\n"})
                                      << "Cannot use this function by old model controller";
    QTest::newRow("invalid, old model") << false << true << bytesList({"@READ DIO ,\r\n"})
                                        << "Cannot use this function by old model controller.";
}

void TestSizeDetection::switchFunction() {
    QFETCH(bool, valid);
    QFETCH(bool, oldModel);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QString, message);
    DriveRig r;
    r.controller.setOldModel(oldModel);
    r.params.setSettingValue(33, valid ? "0" : "1");
    r.size.switchFunction(valid);
    QCOMPARE(r.lines(), lines);
    QCOMPARE(r.op.texts("message"), QStringList{message});
    QCOMPARE(r.op.last().title, QString("Size detection"));
    QCOMPARE(r.op.last().icon, oldModel ? Icon::Critical : Icon::None);
    const QString was = valid ? "0" : "1";
    const QString now = valid ? "1" : "0";
    QCOMPARE(r.params.settingValue(33), oldModel ? was : now);
    if (!oldModel) {
        QCOMPARE(r.controller.parameter(33), now);
        QCOMPARE(r.host.colour(valid ? SizeCtl::Valid : SizeCtl::Invalid),
                 std::optional<quint32>(0xFFC0C0));
        QCOMPARE(r.host.colour(valid ? SizeCtl::Invalid : SizeCtl::Valid), std::nullopt);
    }
}

void TestSizeDetection::sendPoints_data() {
    QTest::addColumn<QString>("maxText");
    QTest::addColumn<QString>("minText");
    QTest::addColumn<QString>("silent"); // a command the controller does not answer
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QString>("message");
    const QList<QByteArray> sent = bytesList(
        {"@READ DIO ,\r\n", "@WRITE PRM ,\r\n", "PRM31=1250\r\n", "PRM32=-300\r\n", "\x1a"});
    QTest::newRow("12.5 and -3") << "12.5"
                                 << "-3"
                                 << "" << sent << "Transmission completion.";
    // Both points went out unconfirmed: the operator is told, beside the communication error,
    // that the controller may not hold them.
    QTest::newRow("end of data unanswered")
        << "12.5"
        << "-3" << QString(QChar(26)) << sent
        << "The communication error. Please check the connection.";
    QTest::newRow("malformed maximum")
        << "1.2.3"
        << "-3"
        << "" << QList<QByteArray>() << "Please input maximum position";
    QTest::newRow("malformed minimum")
        << "1"
        << "-."
        << "" << QList<QByteArray>() << "Please input minimum position";
}

void TestSizeDetection::sendPoints() {
    QFETCH(QString, maxText);
    QFETCH(QString, minText);
    QFETCH(QString, silent);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QString, message);
    DriveRig r;
    if (!silent.isEmpty())
        r.controller.setSilentFor(silent);
    r.host.texts[SizeCtl::Max] = maxText;
    r.host.texts[SizeCtl::Min] = minText;
    r.size.sendPoints();
    QCOMPARE(r.lines(), lines);
    QCOMPARE(r.op.texts("message"), QStringList{message});
    if (lines.isEmpty())
        return;
    QCOMPARE(r.op.last().title, QString("Pushing position setting"));
    QCOMPARE(r.params.settingValue(31), QString("1250"));
    QCOMPARE(r.params.settingValue(32), QString("-300"));
    if (!silent.isEmpty()) {
        QVERIFY(r.op.last().informative.endsWith("it may not hold the new values."));
        return;
    }
    QCOMPARE(r.controller.parameter(32), QString("-300"));
    QCOMPARE(r.host.texts.value(SizeCtl::Max), QString("12.50"));
    QCOMPARE(r.host.texts.value(SizeCtl::Min), QString("-3.00"));
}

QTEST_MAIN(TestSizeDetection)
#include "tst_sizedetection.moc"
