#include "FakeOperationHost.h"
#include "FakeProgress.h"
#include "ScriptedOperator.h"
#include "link/Profile.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/CompareOps.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ReceiveOps.h"
#include "pointops/TransmitPoints.h"
#include "simulator/RoutedChannel.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// A point table written to qrx5-sim and read back, through the serial port class on a
// pseudo-terminal, as the program does it.
class TestE2ETransfer : public QObject {
    Q_OBJECT
  private slots:
    void transmitReceiveCompare();
};

void TestE2ETransfer::transmitReceiveCompare() {
    const QString bin = qEnvironmentVariable("QRX5_SIM_BIN");
    if (bin.isEmpty())
        QSKIP("QRX5_SIM_BIN is not set");
    QTemporaryDir dir;
    const QString link = dir.filePath("com1");
    QProcess sim;
    sim.start(bin, {"--kind", "point", "--link", link});
    QVERIFY(sim.waitForStarted(5000));
    QVERIFY(sim.waitForReadyRead(5000));
    sim.readLine();

    const QString ini = dir.filePath("QRX5.ini");
    QVERIFY(Profile::WriteSetting(link, "COM1", "Ports", ini));
    LinkState state;
    SimulatorHub hub;
    RoutedChannel channel(ini, hub);
    Link linkObject(state, channel);
    ScriptedOperator op;
    FakeProgress progress;
    FakeOperationHost host;
    OperationState opState;
    PointTableModel points(op);
    ParameterTableModel params(op);
    PointOpsContext c{{linkObject, op, progress, host, opState}, points, params};

    PointTableData table;
    table[0] = {"A", "10.00", "30", "", "pick"};
    table[5] = {"U", "-3.00", "20", "4", ""};
    table[63] = {"C", "", "5", "3", "end"};
    points.setTable(table);

    TransmitPoints::run(c);
    QCOMPARE(op.texts("message").constLast(), QString("Transmitting has finished."));

    points.clear();
    ReceiveOps::receivePoints(c);
    QCOMPARE(op.texts("message").constLast(), QString("Receiving has finished."));
    for (int n : {0, 5, 63}) {
        const PointRecord got = points.point(n);
        QCOMPARE(got.mode, table[n].mode);
        QCOMPARE(got.position, table[n].position);
        QCOMPARE(got.speed, table[n].speed);
        QCOMPARE(got.push, table[n].push);
    }
    QVERIFY(points.point(1).mode.isEmpty());

    CompareOps::compare(c);
    QCOMPARE(op.texts("message").constLast(),
             QString("Comparison of data has finished successfully."));
    QVERIFY(host.windowEnabled);
    sim.terminate();
    QVERIFY(sim.waitForFinished(5000));
}

QTEST_GUILESS_MAIN(TestE2ETransfer)
#include "tst_e2e_transfer.moc"
