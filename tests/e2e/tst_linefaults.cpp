// A hostile controller on a pseudo-terminal, reached through the serial port class as the
// program reaches a real one. Each operation that talks to the controller meets garbage
// ending in "OK", an endless stream, a half reply and a line closed in the middle of its
// transfer. Each must end by its own time-out (or at once), tell the operator, leave the
// window usable and both tables as they were.
#include "FakeOperationHost.h"
#include "FakeProgress.h"
#include "ScriptedOperator.h"
#include "link/Profile.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointTableModel.h"
#include "pointops/CompareOps.h"
#include "pointops/InitOps.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ReceiveOps.h"
#include "pointops/TransmitParameters.h"
#include "pointops/TransmitPoints.h"
#include "simulator/RoutedChannel.h"
#include "simulator/VirtualController.h"
#include "simulator/pty/PtyServer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

enum class Fault { Garbage, Endless, HalfReply, ClosedMidTransfer };

using Operation = void (*)(const PointOpsContext&);

struct Rig {
    QTemporaryDir dir;
    VirtualController controller{VirtualController::Kind::Point};
    std::unique_ptr<PtyServer> server = std::make_unique<PtyServer>(controller);
    LinkState state;
    SimulatorHub hub;
    std::unique_ptr<RoutedChannel> channel;
    std::unique_ptr<Link> link;
    ScriptedOperator op;
    FakeProgress progress;
    FakeOperationHost host;
    OperationState opState;
    PointTableModel points{op};
    ParameterTableModel params{op};

    bool start() {
        if (!server->start())
            return false;
        const QString ini = dir.filePath("QRX5.ini");
        Profile::WriteSetting(server->slavePath(), "COM1", "Ports", ini);
        channel = std::make_unique<RoutedChannel>(ini, hub);
        link = std::make_unique<Link>(state, *channel);
        // Tables an operator would not want to lose; the controller holds the same points.
        PointTableData t{};
        t[0] = {"A", "10.00", "20", "", "pick"};
        t[1] = {"C", "", "5", "3", ""};
        t[2] = {"U", "-3.00", "20", "4", "place"};
        points.setTable(t);
        for (int n = 0; n < 3; ++n)
            controller.memory().setPoint(n, {t[n].mode, t[n].position, t[n].speed, t[n].push});
        params.setTable(PointParameters::initialTable("30"));
        params.setSettingValue(4, "80");
        return true;
    }
};

// Control characters and bytes beyond ASCII, as a noisy line brings them.
constexpr char NoiseBytes[] = "\x00\x1b[2J\xff\xfe\x07 P0=A,1 \x80\x9f\r";
const QByteArray Noise(NoiseBytes, sizeof NoiseBytes - 1);

} // namespace

class TestLineFaults final : public QObject {
    Q_OBJECT
  private slots:
    void operationsEndCleanly_data();
    void operationsEndCleanly();
};

void TestLineFaults::operationsEndCleanly_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("closeAtLine"); // the controller's line count when the line dies
    const struct {
        const char* name;
        int closeAt; // mid-transfer: the table read, or the first data line of a block
    } operations[] = {
        {"Receive(Points)", 1},  {"Receive(Parameters)", 1},  {"Compare", 2},
        {"Transmit(Points)", 6}, {"Transmit(Parameters)", 7}, {"Init > Parameters", 2},
        {"Init > ORG", 1},
    };
    const char* faults[] = {"garbage ending in OK", "endless stream", "half reply",
                            "line closed mid-transfer"};
    for (int o = 0; o < int(std::size(operations)); ++o)
        for (int f = 0; f < int(std::size(faults)); ++f)
            QTest::addRow("%s, %s", operations[o].name, faults[f])
                << o << f << operations[o].closeAt;
}

void TestLineFaults::operationsEndCleanly() {
    QFETCH(int, operation);
    QFETCH(int, fault);
    QFETCH(int, closeAtLine);
    const Operation operations[] = {
        &ReceiveOps::receivePoints, &ReceiveOps::receiveParameters, &CompareOps::compare,
        &TransmitPoints::run,       &TransmitParameters::run,       &InitOps::initParameters,
        &InitOps::initOrigin,
    };
    Rig r;
    if (!r.start())
        QSKIP(qPrintable("no pseudo-terminal: " + r.server->errorString()));
    int linesHandled = 0;
    switch (Fault(fault)) {
    case Fault::Garbage:
        r.controller.setReplyPrefix(Noise);
        break;
    case Fault::Endless:
        r.controller.setEndlessStream(true);
        break;
    case Fault::HalfReply:
        r.controller.setReplySplit(2, 600000); // the second half never comes in time
        break;
    case Fault::ClosedMidTransfer: {
        r.controller.setReplySplit(2, 500);
        connect(&r.controller, &VirtualController::lineHandled, this,
                [&r, &linesHandled, closeAtLine] {
                    if (++linesHandled == closeAtLine)
                        QTimer::singleShot(100, [&r] { r.server.reset(); });
                });
        break;
    }
    }

    const PointTableData points = r.points.table();
    const ParameterTableData params = r.params.table();
    PointOpsContext c{{*r.link, r.op, r.progress, r.host, r.opState}, r.points, r.params};
    QElapsedTimer clock;
    clock.start();
    operations[operation](c);

    // The longest time-out of a first exchange is 5 s; the bound only catches a hang.
    QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(r.op.texts("message").value(0),
             QString("The communication error. Please check the connection."));
    QCOMPARE(r.op.texts("message").size(), 1);
    QVERIFY(r.points.table() == points);
    QVERIFY(r.params.table() == params);
    QVERIFY(!r.points.modified());
    QVERIFY(r.host.windowEnabled && r.host.toolbarEnabled && !r.progress.shown);
    if (Fault(fault) == Fault::ClosedMidTransfer)
        QVERIFY(!r.server); // the line did die while the operation ran
}

QTEST_GUILESS_MAIN(TestLineFaults)
#include "tst_linefaults.moc"
