// Cancel in the progress dialog while an operation waits for a silent controller: the wait
// ends at once and the operation takes its cancel path, whichever operation it is.
#include "OpsRig.h"
#include "pointops/CompareOps.h"
#include "pointops/InitOps.h"
#include "pointops/ReceiveOps.h"
#include "pointops/TransmitParameters.h"
#include "pointops/TransmitPoints.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using Icon = OperatorInteraction::Icon;

namespace {
using OperationFn = void (*)(const PointOpsContext&);
const OperationFn Operations[] = {&ReceiveOps::receivePoints, &CompareOps::compare,
                                  &InitOps::initPoints, &TransmitPoints::run,
                                  &TransmitParameters::run};
} // namespace

class TstCancelWait final : public QObject {
    Q_OBJECT
  private slots:
    void cancelEndsTheWait_data();
    void cancelEndsTheWait();
};

void TstCancelWait::cancelEndsTheWait_data() {
    QTest::addColumn<int>("operation");     // index into Operations
    QTest::addColumn<QString>("silentFor"); // the command the controller leaves unanswered
    QTest::addColumn<int>("timeoutMs");     // its time-out, which must not be waited out
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    const QString eod(QChar(26));
    QTest::newRow("Receive(Points)") << 0 << "@READ PNT" << 5000 << "Stop"
                                     << "Data un-transmitting.";
    QTest::newRow("Compare") << 1 << "@READ PNT" << 3000 << "Compare"
                             << "Stop";
    QTest::newRow("Init > Points") << 2 << "@INIT PNT" << 10000 << "Point initialization"
                                   << "Stop";
    QTest::newRow("Transmit(Points), write command") << 3 << "@WRITE PNT" << 3000 << "Stop"
                                                     << "Data un-transmitting.";
    QTest::newRow("Transmit(Parameters), end of data") << 4 << eod << 3000 << "Stop"
                                                       << "Data un-transmitting.";
}

void TstCancelWait::cancelEndsTheWait() {
    QFETCH(int, operation);
    QFETCH(QString, silentFor);
    QFETCH(int, timeoutMs);
    QFETCH(QString, title);
    QFETCH(QString, text);
    OpsRig r;
    r.controller.setSilentFor(silentFor);
    PointTableData table{};
    table[1] = {"A", "1.00", "10", "", "kept"};
    r.points.setTable(table);
    // The operator clicks Cancel shortly after the unanswered command went out.
    QObject::connect(&r.controller, &VirtualController::lineHandled, &r.controller,
                     [&](const QString& line) {
                         if (line.startsWith(silentFor))
                             QTimer::singleShot(50, [&] { r.progress.clickCancel(); });
                     });
    auto c = r.context();

    QElapsedTimer t;
    t.start();
    Operations[operation](c);

    QVERIFY2(t.elapsed() < timeoutMs, "the operation waited out the time-out");
    QCOMPARE(r.op.texts("message"), QStringList{text});
    QCOMPARE(r.op.last().title, title);
    QCOMPARE(r.op.last().icon, Icon::Warning);
    QCOMPARE(r.op.beeps, 0);
    QVERIFY(!r.progress.cancel); // a later operation does not see this click
    QVERIFY(r.restored());
    QCOMPARE(r.points.table(), table); // nothing of the window's tables was touched
}

QTEST_GUILESS_MAIN(TstCancelWait)
#include "tst_cancelwait.moc"
