// The pulse-train window's transfers against the in-process virtual controller.
#include "OpsRig.h"
#include "pulse/PulseParameters.h"
#include "pulse/PulseTransfers.h"

#include <QTest>

using Icon = OperatorInteraction::Icon;
using Answer = OperatorInteraction::Answer;
using Operation = void (*)(const PulseOpsContext&);
Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(ZoneRecord)

namespace {

const QString LinkError = QStringLiteral("The communication error. Please check the connection.");
const QString ReplyError = QStringLiteral("Cannot receive data from controller.");

ZoneTableData someZones() {
    ZoneTableData z{};
    z[0] = {"-10.00", "-20.00", "down"};
    z[2] = {"5.00", "30.00", ""};
    z[3] = {"0.00", "-5.00", "last"};
    return z;
}

QString setting(const PulseOpsRig& r, int number) {
    return r.params.settingValue(number);
}

} // namespace

class TstPulseTransfers final : public QObject {
    Q_OBJECT
  private slots:
    void receiveZones();
    void receiveParameters();
    void transmitZonesExactBytes();
    void transmitParametersExactBytes();
    void zonesRefusedBeforeAnythingIsSent_data();
    void zonesRefusedBeforeAnythingIsSent();
    void parametersTheControllerRefusesAreNotSent_data();
    void parametersTheControllerRefusesAreNotSent();
    void roundTripReportsNoDifference();
    void compareReportsEveryDifference();
    void unknownTypeKeepsTablesAndProgram_data();
    void unknownTypeKeepsTablesAndProgram();
    void firstExchangeFails_data();
    void firstExchangeFails();
    void writeBlockFails_data();
    void writeBlockFails();
    void cancelMidTransfer_data();
    void cancelMidTransfer();
    void initZonesAsksToSaveAndEmptiesNotes();
    void initParametersWithEnglish();
    void initOrigin();
};

void TstPulseTransfers::receiveZones() {
    PulseOpsRig r;
    r.controller.memory().setZone(0, {"-10.00", "-20.00", ""});
    r.controller.memory().setZone(2, {"5.00", "30.00", "from controller"});
    r.zones.setTable(someZones());
    auto& c = r.context();

    PulseTransfers::receiveZones(c);

    QCOMPARE(r.controller.received(), QByteArray("@READ ZON ,\r\n"));
    const ZoneTableData t = r.zones.table();
    QCOMPARE(t[0], (ZoneRecord{"-10.00", "-20.00", ""})); // the old note is gone
    QCOMPARE(t[2], (ZoneRecord{"5.00", "30.00", "from controller"}));
    QCOMPARE(t[3], ZoneRecord{});
    QVERIFY(r.zones.modified());
    QCOMPARE(r.op.prompts.size(), 2);
    QCOMPARE(r.op.prompts[0].title, QString("Zone reception"));
    QCOMPARE(r.op.prompts[0].text, QString("Do you receive zone data?"));
    QCOMPARE(r.op.prompts[0].icon, Icon::Question);
    QCOMPARE(r.op.last().title, QString("Receive Zone"));
    QCOMPARE(r.op.last().text, QString("Receiving has finished."));
    QCOMPARE(r.progress.maximum, 3);
    QCOMPARE(r.progress.values.last(), 3);
    QCOMPARE(r.opState.settei, 1);
    QVERIFY(r.restored());
}

void TstPulseTransfers::receiveParameters() {
    PulseOpsRig r;
    r.controller.setActuatorType(32);
    r.controller.setParameter(35, "150");
    r.controller.setParameter(53, "500");
    r.controller.setParameter(6, "999"); // not held by the table
    auto& c = r.context();

    PulseTransfers::receiveParameters(c);

    QCOMPARE(r.controller.received(), QByteArray("@READ PRM ,\r\n"));
    const PulseParameterData t = r.params.table();
    const QStringList defaults = ParameterRows::listValues(PulseParameters::defaultList("32"));
    for (int row = 0; row < PulseParameterCount; ++row)
        QCOMPARE(t[row].initial, defaults[row]);
    QCOMPARE(r.params.actuatorType(), QString("32"));
    QCOMPARE(setting(r, 35), QString("150"));
    QCOMPARE(setting(r, 53), QString("500"));
    QCOMPARE(r.op.prompts[0].title, QString("Parameter reception"));
    QCOMPARE(r.op.prompts[0].text, QString("Do you receive parameter data?"));
    QCOMPARE(r.op.last().title, QString("Receive Parameter"));
    QCOMPARE(r.progress.maximum, 63);
    QVERIFY(r.zones.modified());
    QCOMPARE(r.host.refreshes, 1); // the origin shift display
    QVERIFY(r.restored());
}

void TstPulseTransfers::transmitZonesExactBytes() {
    PulseOpsRig r;
    r.controller.memory().setZone(1, {"1.00", "2.00", ""}); // erased by the transfer
    ZoneTableData zones = someZones();
    zones[2].a = ".5"; // as a file wrote it: it goes out as the grid shows it
    r.zones.setTable(zones);
    auto& c = r.context();

    PulseTransfers::transmitZones(c);

    QCOMPARE(r.controller.received(), QByteArray("@INIT ZON ,\r\n@WRITE ZON ,\r\n"
                                                 "Z0=-10.00,-20.00\r\nZ2=0.50,30.00\r\n"
                                                 "Z3=0.00,-5.00\r\n\x1a"));
    QVERIFY(!r.controller.memory().zone(1).isSet());
    QCOMPARE(r.controller.memory().zone(2).b, QString("30.00"));
    QCOMPARE(r.op.prompts[0].title, QString("Transmit Zone"));
    QCOMPARE(r.op.prompts[0].text, QString("Do you transmit zone data?"));
    QCOMPARE(r.op.last().title, QString("Transmit Zone"));
    QCOMPARE(r.op.last().text, QString("Transmitting has finished."));
    QCOMPARE(r.progress.maximum, 5);
    QCOMPARE(r.progress.values, (QList<int>{0, 1, 2, 3, 4, 5}));
    QVERIFY(r.restored());
}

void TstPulseTransfers::transmitParametersExactBytes() {
    PulseOpsRig r;
    r.params.setSettingValue(35, "-150");
    r.params.setSettingValue(4, "80");
    auto& c = r.context();

    PulseTransfers::transmitParameters(c);

    // Eleven data lines in table order; the actuator type is never sent.
    QCOMPARE(r.controller.received(),
             QByteArray("@WRITE PRM ,\r\nPRM4=80\r\nPRM5=0\r\nPRM10=5\r\nPRM22=1\r\nPRM35=-150\r\n"
                        "PRM36=5\r\nPRM37=10\r\nPRM38=1\r\nPRM39=1\r\nPRM43=0\r\nPRM53=1000\r\n"
                        "\x1a"));
    QCOMPARE(r.controller.parameter(35), QString("-150"));
    QCOMPARE(r.op.prompts[0].title, QString("Parameter reception"));
    QCOMPARE(r.op.prompts[0].text, QString("Do you transmit parameter data?"));
    QCOMPARE(r.op.last().title, QString("Transmit Parameter"));
    QCOMPARE(r.op.last().text, QString("Transmitting has finished."));
    QCOMPARE(r.progress.maximum, 12);
    QCOMPARE(r.progress.values.last(), 12);
    QCOMPARE(r.host.refreshes, 1);
    QVERIFY(r.restored());
}

void TstPulseTransfers::zonesRefusedBeforeAnythingIsSent_data() {
    QTest::addColumn<ZoneRecord>("zone2");
    QTest::addColumn<QString>("text");
    const QString incomplete = "Data is not completed. Please check data.";
    QTest::newRow("B empty") << ZoneRecord{"10.00", "", ""} << incomplete;
    QTest::newRow("A empty") << ZoneRecord{"", "10.00", ""} << incomplete;
    QTest::newRow("wrong way") << ZoneRecord{"20.00", "10.00", ""}
                               << QString(
                                      "Please confirm position data entry value of point No.2.");
    QTest::newRow("A equals B") << ZoneRecord{"5.00", "5.00", ""}
                                << QString(
                                       "Please confirm position data entry value of point No.2.");
    QTest::newRow("not a number") << ZoneRecord{"5.00x", "9.00", ""} << incomplete;
    // Beyond what the controller takes, as a garbled receive could leave a zone.
    const QString range = "Please set a value as -40.00 -- 40.00mm.";
    QTest::newRow("A beyond 40") << ZoneRecord{"45.00", "50.00", ""} << range;
    QTest::newRow("B beyond -40") << ZoneRecord{"-10.00", "-40.01", ""} << range;
}

void TstPulseTransfers::zonesRefusedBeforeAnythingIsSent() {
    QFETCH(ZoneRecord, zone2);
    QFETCH(QString, text);
    PulseOpsRig r;
    ZoneTableData z = someZones();
    z[2] = zone2;
    r.zones.setTable(z);
    auto& c = r.context();

    PulseTransfers::transmitZones(c);

    QVERIFY(r.controller.received().isEmpty());
    QCOMPARE(r.op.texts("message"), QStringList{text});
    QCOMPARE(r.op.last().title, QString("Data un-transmitting"));
    QVERIFY(r.restored());
}

void TstPulseTransfers::parametersTheControllerRefusesAreNotSent_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("beside");
    QTest::newRow("not a number")
        << 37 << "5\r\n@INIT PRM 30"
        << "Parameter 37, Pushing level: \"5<CR><LF>@INIT PRM 30\" is not "
           "a number";
    QTest::newRow("acceleration 150")
        << 4 << "150"
        << "Parameter 4, Acceleration: \"150\" is not within 1 to 100 (%)";
    QTest::newRow("choice 2") << 43 << "2"
                              << "Parameter 43, Motor servo method: \"2\" is neither 0 nor 1";
    QTest::newRow("choice 1.0") << 22 << "1.0"
                                << "Parameter 22, English or Japanese: \"1.0\" is neither 0 nor 1";
    QTest::newRow("acceleration 5.5") << 4 << "5.5"
                                      << "Parameter 4, Acceleration: \"5.5\" is not a whole number";
}

void TstPulseTransfers::parametersTheControllerRefusesAreNotSent() {
    QFETCH(int, number);
    QFETCH(QString, value);
    QFETCH(QString, beside);
    PulseOpsRig r;
    r.params.setSettingValue(number, value); // as a garbled receive could leave it
    auto& c = r.context();

    PulseTransfers::transmitParameters(c);

    QVERIFY(r.controller.received().isEmpty());
    QCOMPARE(r.op.last().text, QString("Data is not completed. Please check data."));
    QCOMPARE(r.op.last().informative, beside);
    QVERIFY(r.link.errorText().startsWith(QStringLiteral("PRM%1=").arg(number)));
    QVERIFY(r.restored());
}

void TstPulseTransfers::roundTripReportsNoDifference() {
    PulseOpsRig r;
    r.controller.setActuatorType(33);
    ZoneTableData z = someZones();
    r.zones.setTable(z);
    r.params.setSettingValue(0, "33");
    r.params.fillInitialValues("33");
    r.params.setSettingValue(36, "7");
    r.params.setSettingValue(53, "1999");
    const PulseParameterData sent = r.params.table();
    auto& c = r.context();

    PulseTransfers::transmitZones(c);
    PulseTransfers::transmitParameters(c);
    r.zones.clear();
    r.params.setTable(PulseParameters::initialTable());
    PulseTransfers::receiveZones(c);
    PulseTransfers::receiveParameters(c);
    PulseTransfers::compare(c);

    for (ZoneRecord& zone : z)
        zone.note.clear(); // notes stay with the window
    QCOMPARE(r.zones.table(), z);
    QCOMPARE(r.params.table(), sent);
    QCOMPARE(r.op.last().title, QString("Compare"));
    QCOMPARE(r.op.last().text, QString("Comparison of data has finished successfully."));
    QVERIFY(r.host.marked.isEmpty());
    QVERIFY(r.restored());
}

void TstPulseTransfers::compareReportsEveryDifference() {
    PulseOpsRig r;
    r.controller.memory().setZone(1, {"5.0", "9.00", ""});
    r.controller.memory().setZone(3, {"1.00", "2.00", ""});
    r.controller.setParameter(37, "10.0"); // the same number as the table's 10
    r.controller.setParameter(53, "900");
    ZoneTableData z{};
    z[1] = {"5.00", "9.00", ""};
    r.zones.setTable(z);
    auto& c = r.context();

    const CompareFlow::Result result = PulseTransfers::compareTables(c);

    QCOMPARE(r.controller.received(), QByteArray("@READ ZON ,\r\n@READ PRM ,\r\n"));
    QCOMPARE(result.outcome, CompareFlow::Outcome::Different);
    QCOMPARE(r.op.last().text, QString("Zone_No1 NG")); // zones are compared as text
    QCOMPARE(r.op.last().title, QString("Compare"));
    QCOMPARE(r.op.last().detailed,
             QString("Zone 1, Position A: table \"5.00\", controller \"5.0\"\n"
                     "Zone 3, Position A: table \"\", controller \"1.00\"\n"
                     "Zone 3, Position B: table \"\", controller \"2.00\"\n"
                     "Parameter 53, INPOS response time: table \"1000\", controller \"900\""));
    QCOMPARE(r.host.marked.size(), 4);
    QCOMPARE(r.host.marked[0].grid, CompareReport::FirstGrid);
    QCOMPARE(r.host.marked[3].grid, CompareReport::ParameterGrid);
    QCOMPARE(r.host.marked[3].row, PulseParameters::rowOfParameter(53));
    QCOMPARE(r.progress.maximum, 63);
    QVERIFY(r.restored());
}

void TstPulseTransfers::unknownTypeKeepsTablesAndProgram_data() {
    QTest::addColumn<Operation>("operation");
    QTest::newRow("receive") << Operation(&PulseTransfers::receiveParameters);
    QTest::newRow("compare") << Operation(&PulseTransfers::compare);
}

void TstPulseTransfers::unknownTypeKeepsTablesAndProgram() {
    QFETCH(Operation, operation);
    PulseOpsRig r;
    r.controller.setActuatorType(34);
    r.params.setSettingValue(35, "250");
    const PulseParameterData before = r.params.table();
    auto& c = r.context();

    operation(c);

    QCOMPARE(r.params.table(), before);
    QCOMPARE(r.op.last().title, QString("Controller type"));
    QCOMPARE(r.op.last().text, QString("Controller type is different."));
    QCOMPARE(r.op.last().icon, Icon::Warning);
    QCOMPARE(r.op.endCalls, 0);
    QVERIFY(!r.zones.modified());
    QVERIFY(r.restored());
}

void TstPulseTransfers::firstExchangeFails_data() {
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("ng"); // else silent
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    const struct {
        const char* name;
        Operation operation;
        const char* word;
        const char* title;
    } ops[] = {
        {"receive zones", &PulseTransfers::receiveZones, "@READ ZON", "Zone reception"},
        {"receive parameters", &PulseTransfers::receiveParameters, "@READ PRM",
         "Parameter reception"},
        {"transmit zones", &PulseTransfers::transmitZones, "@INIT ZON", "Transmit Zone"},
        {"transmit parameters", &PulseTransfers::transmitParameters, "@WRITE PRM",
         "Parameter reception"},
        {"compare", &PulseTransfers::compare, "@READ ZON", "Compare"},
        {"init zones", &PulseTransfers::initZones, "@INIT ZON", "Zone initialization"},
        {"init parameters", &PulseTransfers::initParameters, "@?PRM", "Parameter initialization"},
        {"init origin", &PulseTransfers::initOrigin, "@INIT ORG", "Initialization of the origin"},
    };
    for (const auto& o : ops)
        QTest::addRow("%s, silent", o.name)
            << o.operation << o.word << false << o.title << LinkError;
    // A refused read leaves the tables as they were and is reported.
    QTest::newRow("receive zones, NG")
        << Operation(&PulseTransfers::receiveZones) << "@READ ZON" << true << "Error" << ReplyError;
    QTest::newRow("receive parameters, NG") << Operation(&PulseTransfers::receiveParameters)
                                            << "@READ PRM" << true << "Error" << ReplyError;
}

void TstPulseTransfers::firstExchangeFails() {
    QFETCH(Operation, operation);
    QFETCH(QString, word);
    QFETCH(bool, ng);
    QFETCH(QString, title);
    QFETCH(QString, text);
    PulseOpsRig r;
    r.controller.memory().setZone(0, {"1.00", "2.00", ""});
    if (ng)
        r.controller.setNgFor(word);
    else
        r.controller.setSilentFor(word);
    r.zones.setTable(someZones());
    r.zones.setModified(false);
    const PulseParameterData params = r.params.table();
    auto& c = r.context();

    operation(c);

    QCOMPARE(r.op.texts("message"), QStringList{text});
    QCOMPARE(r.op.last().title, title);
    QCOMPARE(r.zones.table(), someZones());
    QCOMPARE(r.params.table(), params);
    QVERIFY(!r.zones.modified());
    QCOMPARE(r.controller.memory().zone(0).a, QString("1.00"));
    QVERIFY(r.restored());
}

void TstPulseTransfers::writeBlockFails_data() {
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("ngLine"); // 0: the end-of-data character goes unanswered
    QTest::addColumn<QString>("text");
    QTest::newRow("zones, NG on line 2")
        << Operation(&PulseTransfers::transmitZones) << 2 << ReplyError;
    QTest::newRow("parameters, NG on line 5")
        << Operation(&PulseTransfers::transmitParameters) << 5 << ReplyError;
    QTest::newRow("zones, end unanswered")
        << Operation(&PulseTransfers::transmitZones) << 0 << LinkError;
    QTest::newRow("parameters, end unanswered")
        << Operation(&PulseTransfers::transmitParameters) << 0 << LinkError;
}

void TstPulseTransfers::writeBlockFails() {
    QFETCH(Operation, operation);
    QFETCH(int, ngLine);
    QFETCH(QString, text);
    PulseOpsRig r;
    if (ngLine > 0)
        r.controller.setNgForDataLine(ngLine);
    else
        r.controller.setSilentFor(QString(QChar(26)));
    r.zones.setTable(someZones());
    auto& c = r.context();

    operation(c);

    QCOMPARE(r.op.texts("message"), QStringList{text});
    QVERIFY(!r.op.texts("message").contains("Transmitting has finished."));
    if (ngLine > 0)
        QVERIFY(r.link.errorText().startsWith("NG\r\n37:RANGE OVER"));
    QVERIFY(r.restored());
}

void TstPulseTransfers::cancelMidTransfer_data() {
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("cancelAt");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("tail"); // the last bytes written
    QTest::newRow("receive zones") << Operation(&PulseTransfers::receiveZones) << 2 << "Stop"
                                   << "Data un-transmitting." << QByteArray("@READ ZON ,\r\n");
    QTest::newRow("transmit zones")
        << Operation(&PulseTransfers::transmitZones) << 1 << "Stop"
        << "Data un-transmitting." << QByteArray("Z0=-10.00,-20.00\r\n");
    QTest::newRow("transmit parameters")
        << Operation(&PulseTransfers::transmitParameters) << 3 << "Stop"
        << "Data un-transmitting." << QByteArray("PRM10=5\r\n");
    QTest::newRow("compare") << Operation(&PulseTransfers::compare) << 2 << "Compare"
                             << "Stop" << QByteArray("@READ ZON ,\r\n");
    QTest::newRow("init zones") << Operation(&PulseTransfers::initZones) << 1
                                << "Zone initialization"
                                << "Stop" << QByteArray("@INIT ZON ,\r\n");
}

void TstPulseTransfers::cancelMidTransfer() {
    QFETCH(Operation, operation);
    QFETCH(int, cancelAt);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QByteArray, tail);
    PulseOpsRig r;
    r.controller.memory().setZone(0, {"1.00", "2.00", ""});
    r.controller.memory().setZone(3, {"3.00", "4.00", ""});
    r.zones.setTable(someZones());
    r.zones.setModified(false);
    r.progress.cancelAtValue = cancelAt;
    auto& c = r.context();

    operation(c);

    QVERIFY2(r.controller.received().endsWith(tail), r.controller.received().constData());
    QCOMPARE(r.op.texts("message"), QStringList{text});
    QCOMPARE(r.op.last().title, title);
    QCOMPARE(r.op.last().icon, Icon::Warning);
    QVERIFY(!r.progress.cancel);
    QVERIFY(r.restored());
    if (QTest::currentDataTag() == QLatin1String("receive zones")) {
        QCOMPARE(r.zones.zone(0).a, QString("1.00")); // taken before the cancel
        QCOMPARE(r.zones.zone(3), ZoneRecord{});
        QVERIFY(r.zones.modified());
    }
}

void TstPulseTransfers::initZonesAsksToSaveAndEmptiesNotes() {
    PulseOpsRig r;
    r.controller.memory().setZone(2, {"1.00", "2.00", ""});
    r.zones.setTable(someZones());
    r.zones.setModified(true);
    auto& c = r.context();

    PulseTransfers::initZones(c);

    QCOMPARE(r.controller.received(), QByteArray("@INIT ZON ,\r\n"));
    QCOMPARE(r.host.calls, QStringList{"confirmDiscard"});
    QCOMPARE(r.zones.table(), ZoneTableData{});
    QVERIFY(!r.controller.memory().zone(2).isSet());
    QCOMPARE(r.op.prompts[0].text, QString("Do you initialize zone data?"));
    QCOMPARE(r.op.last().title, QString("Zone initialization"));
    QCOMPARE(r.op.last().text, QString("Initializing has completed."));
    QCOMPARE(r.progress.maximum, 3);
    QVERIFY(r.restored());
}

void TstPulseTransfers::initParametersWithEnglish() {
    PulseOpsRig r;
    r.controller.setActuatorType(31);
    r.op.typeChoices = {{"33", 1}};
    auto& c = r.context();

    PulseTransfers::initParameters(c);

    QCOMPARE(r.controller.received(), QByteArray("@?PRM 0,\r\n@INIT PRM 33,\r\n"
                                                 "@WRITE PRM ,\r\nPRM22 = 0\r\n\x1a"));
    const QList<ScriptedOperator::Prompt> typePrompts = [&] {
        QList<ScriptedOperator::Prompt> out;
        for (const auto& p : r.op.prompts)
            if (p.kind == "type")
                out << p;
        return out;
    }();
    QCOMPARE(typePrompts.size(), 1);
    QCOMPARE(typePrompts[0].text, QString("31")); // the controller's type preselected
    QCOMPARE(r.params.actuatorType(), QString("33"));
    QCOMPARE(r.params.table()[0].initial, QString("33"));
    QCOMPARE(setting(r, 22), QString("0"));
    QCOMPARE(r.controller.parameter(0), QString("33"));
    QCOMPARE(r.op.texts("message"), (QStringList{"Initializing has completed.", "    Complete."}));
    QCOMPARE(r.progress.maximum, 2);
    QVERIFY(r.restored());
}

void TstPulseTransfers::initOrigin() {
    PulseOpsRig r;
    r.controller.setOriginDone(true);
    auto& c = r.context();

    PulseTransfers::initOrigin(c);

    QCOMPARE(r.controller.received(), QByteArray("@INIT ORG ,\r\n"));
    QVERIFY(!r.controller.originDone());
    QCOMPARE(r.op.prompts[0].text, QString(" Do you initialize the origin?"));
    QCOMPARE(r.op.last().text, QString("Initialization of the origin has finished."));
    QCOMPARE(r.progress.maximum, 1);
    QCOMPARE(r.opState.settei, 1);
    QVERIFY(r.restored());
}

QTEST_GUILESS_MAIN(TstPulseTransfers)
#include "tst_pulsetransfers.moc"
