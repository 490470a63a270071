// Every motion of both kinds against every fault of the line and every way of asking to stop,
// on the in-process virtual controller: the stop character must be on the line whenever the
// actuator may still move, the operator is told under the motion's own title, and the panel
// ends usable and consistent.
#include "DriveRig.h"
#include "MotionFaultTable.h"
#include "dialogs/ui/frmstop.h"
#include "drive/IoMonitor.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using Answer = OperatorInteraction::Answer;
using namespace MotionFaults;

namespace {

// Where the n-th line of a command starts in what the controller received; -1 when there is
// none.
qsizetype nth(const QByteArray& received, const QString& command, int n) {
    qsizetype at = -1;
    for (int i = 0; i < n; ++i)
        if ((at = received.indexOf(command.toLatin1(), at + 1)) < 0)
            return -1;
    return at;
}

// An operator's click: only a button that is shown and enabled can be pressed.
bool click(QPushButton* button) {
    if (!button->isVisible() || !button->isEnabled())
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

} // namespace

Q_DECLARE_METATYPE(MotionFaults::Fault)

class TestMotionFaults : public QObject {
    Q_OBJECT
  private slots:
    void faults_data();
    void faults();
    void stopWithNothingMoving_data();
    void stopWithNothingMoving();
    void stopKeepsAReplyThatArrived();

  private:
    template <typename Rig>
    void run(Rig& r, const MotionDef& m, Fault fault, const QString& step, int settei);
};

void TestMotionFaults::faults_data() {
    QTest::addColumn<QString>("motion");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("settei");
    const std::pair<Fault, const char*> faults[] = {
        {Fault::NoReply, "no reply"},
        {Fault::LateReply, "reply after the time-out"},
        {Fault::Refused, "NG"},
        {Fault::Noise, "noise"},
        {Fault::NoiseMidMove, "noise while moving"},
        {Fault::NgWithoutDetail, "NG without its detail line"},
        {Fault::PortClosed, "port closed"},
        {Fault::LineDropped, "line dropped"},
        {Fault::DeviceGone, "device gone"},
        {Fault::StopIgnored, "stop ignored"},
        {Fault::StopRunsToEnd, "stop ignored, move ends"},
        {Fault::Stop, "Stop"},
        {Fault::WindowClosed, "window closed"},
        {Fault::DialogClosed, "STOP dialog closed"},
        {Fault::DialogEscaped, "STOP dialog Escaped"},
    };
    // settei as Setting mode or an earlier operation left it: no failure may depend on it.
    for (const int settei : {0, 1}) {
        for (const MotionDef& m : motions()) {
            for (const auto& [fault, name] : faults) {
                const bool needsDialog =
                    fault == Fault::DialogClosed || fault == Fault::DialogEscaped;
                if (needsDialog && !m.dialog)
                    continue;
                QTest::addRow("%s / %s / settei %d", m.name, name, settei)
                    << QString::fromLatin1(m.name) << fault << "" << settei;
            }
            for (const QString& step : m.steps)
                QTest::addRow("%s / Stop during %s / settei %d", m.name, qPrintable(step), settei)
                    << QString::fromLatin1(m.name) << Fault::StopAtStep << step << settei;
        }
    }
}

void TestMotionFaults::faults() {
    QFETCH(QString, motion);
    QFETCH(Fault, fault);
    QFETCH(QString, step);
    QFETCH(int, settei);
    const MotionDef& m = motionNamed(motion);
    if (m.pulse) {
        PulseDriveRig r;
        run(r, m, fault, step, settei);
    } else {
        DriveRig r;
        run(r, m, fault, step, settei);
    }
}

template <typename Rig>
void TestMotionFaults::run(Rig& r, const MotionDef& m, Fault fault, const QString& step,
                           int settei) {
    constexpr bool pulse = std::is_same_v<Rig, PulseDriveRig>;
    // The operator's controls are widgets: the stop dialog of a real window (its STOP, closing
    // and Escape go to the panel), and Stop and "+" as buttons that follow the panel's enabled
    // states. A press on a button that is disabled or not shown does nothing.
    frmstop dialog([&] { r.panel.stopAsked(); });
    r.host.onStopDialog = [&](bool shown) { shown ? dialog.show() : dialog.hide(); };
    QWidget window;
    auto* stop = new QPushButton("Stop", &window);
    auto* plus = new QPushButton("+", &window);
    plus->move(0, 40);
    window.show();
    r.host.onEnabled = [&](const QString& name, bool on) {
        if (name == Ctl::Stop)
            stop->setEnabled(on);
        else if (name == "Cmd_Op")
            plus->setEnabled(on);
    };
    stop->setEnabled(r.host.isEnabled(Ctl::Stop));
    plus->setEnabled(false);
    // What the operator starts (a panel button) begins with settei cleared, as in the window;
    // the STOP dialog and letting go of a jog button are no operations of their own.
    const auto operatorStarts = [&](auto run) {
        r.opState.settei = 0;
        run();
    };
    connect(stop, &QPushButton::clicked, this,
            [&] { operatorStarts([&] { r.panel.stopClicked(); }); });
    if constexpr (!pulse) {
        connect(plus, &QPushButton::pressed, this,
                [&] { operatorStarts([&] { r.panel.jogPressed(true); }); });
        connect(plus, &QPushButton::released, this, [&] { r.panel.jogReleased(true); });
    }

    const bool stopTimed = fault == Fault::StopIgnored || fault == Fault::StopRunsToEnd;
    // A stop is told unanswered within its own answer time, long before the motion's time-out.
    r.drive.motion.setTimeoutLimit(stopTimed ? 4 * LongMove : Limit);
    r.drive.motion.setStopTimeoutLimit(Limit);
    r.controller.setMotionDuration(100);
    r.controller.setOriginDone(true);
    r.controller.memory().setPoint(0, {"A", "15.00", "20", ""});
    r.controller.memory().setZone(0, {"15.00", "20.00", {}});
    r.controller.setParameter(24, "1"); // a slow continuous jog
    r.controller.setServoOn(false);

    // Into the mode the motion runs in, and what comes before it.
    if (m.operationMode()) {
        operatorStarts([&] { r.panel.operationClicked(); });
        QVERIFY(r.drive.operationMode);
    } else if (m.how == How::AfterSet) {
        // Teaching runs: its own return to origin has been made, the slider is free.
        if constexpr (pulse) {
            operatorStarts([&] { r.panel.teachClicked(false); });
            QVERIFY(r.panel.teaching());
        } else {
            operatorStarts([&] { r.panel.teachingSelected(1); });
            QVERIFY(r.panel.teachingOpen());
            r.host.texts[Ctl::Pos] = "1.00";
        }
    } else if constexpr (!pulse) {
        if (m.jog()) {
            operatorStarts([&] { r.panel.teachingSelected(2); });
            QVERIFY(r.panel.teachingOpen());
            QVERIFY(plus->isEnabled());
        }
    }
    r.controller.setOriginDone(m.originSet);
    r.panel.monitor().stop();
    r.controller.clearReceived();
    r.op.prompts.clear();
    r.opState.settei = settei;

    const Motion& motion = r.drive.motion;
    const bool operationMode = r.drive.operationMode;
    // The stop control the operator has now: Stop in Operation mode, else the STOP dialog.
    const auto stopUsable = [&] { return operationMode ? stop->isEnabled() : dialog.isVisible(); };
    const auto pressStop = [&]() -> bool {
        if (m.jog() && !motion.leftMoving()) {
            // Letting go of "+" stops the jog.
            QSignalSpy released(plus, &QPushButton::released);
            QTest::mouseRelease(plus, Qt::LeftButton);
            return released.size() == 1;
        }
        return click(operationMode ? stop : dialog.findChild<QPushButton*>("Command1"));
    };
    const bool longMove = fault != Fault::NoReply && fault != Fault::Refused &&
                          fault != Fault::Noise && fault != Fault::PortClosed &&
                          fault != Fault::StopAtStep;
    // The last step before the move command: from there the fault applies (earlier motions
    // of the sequence, a jog's steps, run as usual).
    const auto lastStepDone = [&] {
        if (longMove)
            r.controller.setMotionDuration(LongMove);
        else
            r.controller.setParameter(24, "100"); // a continuous jog that ends in time
        if (fault == Fault::PortClosed)
            r.channel.setOpenFailure("Permission denied");
        if (fault == Fault::Refused)
            r.controller.setNgFor(m.move, ControllerDetail::CommandError);
    };
    if (m.portStep.isEmpty())
        lastStepDone();

    QStringList problems;
    int portSteps = 0;
    int moves = 0;
    const auto later = [&](auto what) { QTimer::singleShot(80, this, what); };
    connect(&r.controller, &VirtualController::lineHandled, this, [&](const QString& line) {
        const bool before = moves < m.moveCount;
        if (before && !m.jog())
            for (const QString& s : m.steps)
                if (line.startsWith(s) && !stopUsable())
                    problems << "no stop control at " + line.trimmed();
        if (before && fault == Fault::StopAtStep && line.startsWith(step))
            QTimer::singleShot(0, this, [&] {
                if (!pressStop())
                    problems << "Stop could not be pressed at " + step;
            });
        if (!m.portStep.isEmpty() && line.startsWith(m.portStep) && ++portSteps == m.portStepCount)
            lastStepDone();
        if (!before || !line.startsWith(m.move) || ++moves != m.moveCount)
            return;
        if (!m.jog() && !stopUsable())
            problems << "no stop control while " + line.trimmed() + " moves";
        const auto pressLater = [&] {
            later([&] {
                if (!pressStop())
                    problems << "Stop could not be pressed while moving";
            });
        };
        switch (fault) {
        case Fault::NoReply:
            r.controller.setMotionEndSilent(true);
            break;
        case Fault::Noise:
            r.controller.setMotionEndPrefix("\x01\xfe");
            break;
        case Fault::NoiseMidMove:
            later([&] { r.controller.inject("\x01\xfe"); });
            break;
        case Fault::NgWithoutDetail:
            later([&] { r.controller.inject("NG\r\n"); });
            break;
        case Fault::LineDropped:
            later([&] { r.channel.simulateFault("the device was unplugged"); });
            break;
        case Fault::DeviceGone:
            later([&] {
                r.channel.setOpenFailure("No such file or directory");
                r.channel.simulateFault("the device was unplugged");
            });
            break;
        case Fault::StopIgnored:
            r.controller.setSilentFor(QString(QChar(3)));
            pressLater();
            break;
        case Fault::StopRunsToEnd:
            r.controller.setStopRunsToEnd(true);
            pressLater();
            break;
        case Fault::Stop:
            pressLater();
            break;
        case Fault::WindowClosed:
            later([&] {
                r.panel.stopAsked();
                r.panel.stopForExit();
            });
            break;
        case Fault::DialogClosed:
        case Fault::DialogEscaped:
            later([&] {
                if (!dialog.isVisible())
                    problems << "no STOP dialog while moving";
                else if (fault == Fault::DialogClosed)
                    dialog.close();
                else
                    QTest::keyClick(&dialog, Qt::Key_Escape);
            });
            break;
        default:
            break;
        }
    });

    // The motion.
    if constexpr (pulse) {
        if (m.how == How::Teach)
            operatorStarts([&] { r.panel.teachClicked(false); });
        else if (m.how == How::AfterSet)
            operatorStarts([&] { r.panel.setClicked(); });
        else if (m.how == How::Start)
            operatorStarts([&] { r.panel.startClicked(); });
        else
            operatorStarts([&] { r.panel.orgClicked(); });
    } else {
        switch (m.how) {
        case How::JogStep:
        case How::Jog:
            QTest::mousePress(plus, Qt::LeftButton);
            // A short click, unless the release is the stop under test.
            if (m.how == How::JogStep && fault != Fault::Stop && !stopTimed &&
                fault != Fault::WindowClosed)
                QTest::mouseRelease(plus, Qt::LeftButton);
            QTest::qWait(1); // the jog runs from the event loop
            QTRY_VERIFY_WITH_TIMEOUT(
                (!r.panel.jogRunning() && motion.idle()) || motion.leftMoving(), 8000);
            break;
        case How::Size:
            r.host.texts[SizeCtl::Direction] = "C";
            r.host.texts[SizeCtl::Speed] = "5";
            r.host.texts[SizeCtl::Level] = "3";
            operatorStarts([&] { r.size.teach(true); });
            break;
        case How::Teach:
            operatorStarts([&] { r.panel.teachingSelected(1); });
            break;
        case How::AfterSet:
            operatorStarts([&] { r.panel.setClicked(); });
            break;
        case How::Start:
            operatorStarts([&] { r.panel.startClicked(); });
            break;
        case How::Org:
            operatorStarts([&] { r.panel.orgClicked(); });
            break;
        }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));

    const Expect e = expected(m, fault);
    const QByteArray received = r.controller.received();
    const qsizetype moveAt = nth(received, m.move, m.moveCount);
    QCOMPARE(moveAt >= 0, e.moveSent);
    QCOMPARE(moveAt >= 0 && received.indexOf('\x03', moveAt) > moveAt, e.stopOnLine);
    if (!m.never.isEmpty())
        QVERIFY(!received.contains(m.never));
    const auto titles = [&] {
        QStringList out;
        for (const auto& p : r.op.prompts)
            if (p.kind == "message")
                out << p.title;
        return out;
    };
    QCOMPARE(titles(), e.titles);
    if (!e.titles.isEmpty() && (!e.informative.isEmpty() || e.text != CommError))
        QCOMPARE(r.op.texts("message").first(), e.text);
    if (!e.informative.isEmpty())
        QVERIFY2(r.op.prompts.constLast().informative.contains(e.informative),
                 qPrintable(r.op.prompts.constLast().informative));

    // The panel: nothing claims to move unless the actuator may, Setting is usable, and only
    // a stop control is left for an actuator that may still move.
    QCOMPARE(motion.leftMoving(), e.leftMoving);
    QVERIFY(motion.idle() || e.leftMoving);
    QCOMPARE(r.opState.orgpos, 0);
    QVERIFY(r.host.windowEnabled);
    QVERIFY(r.host.isEnabled(Ctl::Setting));
    QCOMPARE(stop->isEnabled(), operationMode && e.leftMoving);
    QCOMPARE(dialog.isVisible(), e.leftMoving && (m.dialogLeft || !operationMode));
    const bool closed = fault == Fault::WindowClosed;
    QCOMPARE(r.panel.monitor().running(), operationMode && motion.idle() && !closed);
    if (!e.leftMoving) {
        QVERIFY(!r.controller.motionRunning());
        return;
    }
    // Left moving: a stop that goes unanswered again is told, and the stop control stays.
    r.op.prompts.clear();
    QVERIFY(pressStop());
    QCOMPARE(titles(), QStringList{"Stop"});
    QVERIFY2(r.op.last().informative.contains(fault == Fault::DeviceGone ? "could not be written"
                                                                         : "may still be moving"),
             qPrintable(r.op.last().informative));
    QVERIFY(motion.leftMoving() && stopUsable());
    // The jog waits meanwhile: a press sends nothing.
    r.controller.clearReceived();
    QTest::mousePress(plus, Qt::LeftButton);
    QTest::qWait(1);
    QCOMPARE(r.controller.received(), QByteArray());
    QVERIFY(motion.leftMoving());

    // Stop again, with a controller that answers now, settles it.
    r.controller.setSilentFor(QString(QChar(3)), false);
    r.channel.setOpenFailure({});
    QVERIFY(pressStop());
    QVERIFY(motion.idle());
    QVERIFY(!r.controller.motionRunning());
    QVERIFY(!stop->isEnabled() && !dialog.isVisible());
}

void TestMotionFaults::stopWithNothingMoving_data() {
    QTest::addColumn<bool>("pulse");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("point-input, answered") << false << true << QStringList{};
    // The point-input kind takes silence after a stop for success.
    QTest::newRow("point-input, no answer") << false << false << QStringList{};
    QTest::newRow("pulse-train, answered") << true << true << QStringList{};
    QTest::newRow("pulse-train, no answer") << true << false << QStringList{"Stop"};
}

// Stop with nothing moving exchanges the stop character on its own; the panel stays as it was.
void TestMotionFaults::stopWithNothingMoving() {
    QFETCH(bool, pulse);
    QFETCH(bool, answered);
    QFETCH(QStringList, titles);
    const auto check = [&](auto& r) {
        r.drive.motion.setTimeoutLimit(Limit);
        r.panel.operationClicked();
        r.panel.monitor().stop();
        r.controller.clearReceived();
        r.controller.setSilentFor(QString(QChar(3)), !answered);
        r.panel.stopClicked();
        QCOMPARE(r.controller.received(), QByteArray("\x03"));
        QStringList shown;
        for (const auto& p : r.op.prompts)
            shown << p.title;
        QCOMPARE(shown, titles);
        QVERIFY(r.drive.motion.idle());
        QVERIFY(r.host.isEnabled(Ctl::Setting) && r.host.isEnabled(Ctl::Start));
        QVERIFY(!r.host.isEnabled(Ctl::Stop));
    };
    if (pulse) {
        PulseDriveRig r;
        check(r);
    } else {
        DriveRig r;
        check(r);
    }
}

// A motion's "OK" that has arrived but is not read yet when Stop writes the stop character
// still ends its exchange: the stop path discards nothing.
void TestMotionFaults::stopKeepsAReplyThatArrived() {
    VirtualController controller;
    controller.setMotionDuration(100);
    SimulatedChannel channel(controller);
    // Stop as the controller's "OK" arrives, before the link has read it (this connection
    // comes before the link's own).
    Link* stopping = nullptr;
    connect(&channel, &SerialChannel::readyRead, this, [&] {
        if (stopping)
            QVERIFY(stopping->writeStop() == Link::StopWrite::Written);
    });
    LinkState state;
    Link link(state, channel);
    stopping = &link;
    link.ReplyTimeoutMs = 2000;
    link.ClearCommand();
    link.P_Command = Command::ORG;
    link.BuildCommand();
    QElapsedTimer clock;
    clock.start();
    const ExchangeResult r = link.Exchange();
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY(!r.Timeout());
    QCOMPARE(r.ReplyText, QString("OK\r\n"));
}

QTEST_MAIN(TestMotionFaults)
#include "tst_motionfaults.moc"
