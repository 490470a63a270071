// Every motion of both kinds against every fault of the line and every way of asking to stop,
// on the in-process virtual controller: the stop character must be on the line whenever the
// actuator may still move, the operator is told under the motion's own title, and the panel
// ends usable and consistent.
#include "DriveRig.h"
#include "dialogs/ui/frmstop.h"
#include "drive/IoMonitor.h"

#include <QPushButton>
#include <QtTest>

using Answer = OperatorInteraction::Answer;

namespace {

const QString CommError = "The communication error. Please check the connection.";
constexpr int Limit = 300;     // every motion's time-out in these tests
constexpr int LongMove = 1500; // a motion that is still running when it is stopped

enum class Fault {
    NoReply,     // carried out, its end reply never comes
    LateReply,   // the end reply would come after the time-out
    Refused,     // "NG": nothing moves
    Noise,       // the end reply comes with line noise
    PortClosed,  // the port cannot be opened for the move command
    LineDropped, // the line is lost while the actuator moves
    StopIgnored, // Stop while it moves, but the controller ignores the stop character
    StopAtStep,  // Stop during a step before the move command
    Stop,        // Stop while it moves
    WindowClosed,
    DialogClosed,
    DialogEscaped,
};

// One motion: how it is started and what it must look like.
struct MotionDef {
    const char* name;
    bool pulse;
    bool operationMode;
    const char* title;         // the title the operator is told under
    QStringList steps;         // lines before the move command (a stop there cancels it)
    QString portStep;          // the line after which the move command's exchange opens
    int portStepCount;         // ... its occurrence
    QString move;              // the move command's line
    bool dialog;               // the stop dialog belongs to it
    QStringList refusedTitles; // the messages an "NG" to the move command gives
    bool stoppable = true;     // it has a stop control (a short jog step has none)
};

const QList<MotionDef>& motions() {
    static const QList<MotionDef> all = {
        {"point return to origin",
         false,
         true,
         "Org",
         {"@?PRM 5,", "@?PRM 35,", "@?PRM 21,"},
         "@?PRM 21,",
         1,
         "@ORG",
         true,
         {"Error"}},
        {"point move",
         false,
         true,
         "Point",
         {"@?ORG", "@?P 0"},
         "@?P 0",
         1,
         "@MOVP",
         false,
         {"Error"}},
        {"jog step", false, false, "JOG", {}, "", 0, "@X+", false, {"Error"}, false},
        {"continuous jog",
         false,
         false,
         "Parameter",
         {},
         "@?PRM 35,",
         3,
         "@XINC",
         false,
         {"Error"}},
        {"size measurement",
         false,
         false,
         "Size detection",
         {"@READ DIO"},
         "@ORG",
         1,
         "@GMAX",
         true,
         {"Size detection", "Size detection"}},
        {"teaching return to origin",
         false,
         false,
         "Org",
         {"@?PRM 5,", "@?PRM 35,", "@?PRM 21,"},
         "@?PRM 21,",
         1,
         "@ORG",
         true,
         {"Error"}},
        {"pulse return to origin",
         true,
         true,
         "Return to origin",
         {"@?PRM 5,", "@?PRM 35,", "@?PRM 0,"},
         "@?PRM 0,",
         1,
         "@ORG",
         false,
         {"Error"}},
        {"pulse start",
         true,
         true,
         "Start",
         {"@READ ZON", "@?SRVO", "@SRVO 1", "@?ORG"},
         "@?ORG",
         1,
         "@MOVP",
         false,
         {}},
        {"pulse teaching return to origin",
         true,
         false,
         "Direct Teach",
         {"@?PRM 5,", "@?PRM 35,", "@?PRM 0,"},
         "@?PRM 0,",
         1,
         "@ORG",
         true,
         {"Error"}},
    };
    return all;
}

const MotionDef& motionNamed(const QString& name) {
    for (const MotionDef& m : motions())
        if (QLatin1String(m.name) == name)
            return m;
    qFatal("no motion %s", qPrintable(name));
}

// Where the motion's exchange is cut (or stopped) and what must follow.
struct Expect {
    bool stopOnLine = false; // the stop character follows the move command
    bool moveSent = true;    // the move command reached the line
    QStringList titles;      // the titles of the messages shown
    QString informative;     // a part of the first message's informative text
    bool leftMoving = false; // the stop got no answer: the actuator may still move
};

Expect expected(const MotionDef& m, Fault f) {
    const QStringList told{QString::fromLatin1(m.title)};
    switch (f) {
    case Fault::NoReply:
        return {true, true, told, "The stop command was sent and answered."};
    case Fault::LateReply:
        return {true, true, told, "no answer within 0.3 s"};
    case Fault::Refused:
        return {false, true, m.refusedTitles, {}};
    case Fault::Noise:
        return {true, true, told, "noise on the line"};
    case Fault::PortClosed:
        return {false, false, told, "did not go out"};
    case Fault::LineDropped:
        return {true, true, told, "the device was unplugged"};
    case Fault::StopIgnored:
        return {true, true, told, "not answered", true};
    case Fault::StopAtStep:
        return {false, false, {}, {}};
    case Fault::Stop:
    case Fault::WindowClosed:
    case Fault::DialogClosed:
    case Fault::DialogEscaped:
        return {true, true, {}, {}};
    }
    return {};
}

bool after(const QByteArray& received, const QString& move, const char* what) {
    const qsizetype at = received.indexOf(move.toLatin1());
    return at >= 0 && received.indexOf(what, at) > at;
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestMotionFaults : public QObject {
    Q_OBJECT
  private slots:
    void faults_data();
    void faults();
    void stopWithNothingMoving_data();
    void stopWithNothingMoving();
    void stopKeepsAReplyThatArrived();

  private:
    template <typename Rig> void run(Rig& r, const MotionDef& m, Fault fault, const QString& step);
};

void TestMotionFaults::faults_data() {
    QTest::addColumn<QString>("motion");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("step");
    const std::pair<Fault, const char*> faults[] = {
        {Fault::NoReply, "no reply"},
        {Fault::LateReply, "reply after the time-out"},
        {Fault::Refused, "NG"},
        {Fault::Noise, "noise"},
        {Fault::PortClosed, "port closed"},
        {Fault::LineDropped, "line dropped"},
        {Fault::StopIgnored, "stop ignored"},
        {Fault::Stop, "Stop"},
        {Fault::WindowClosed, "window closed"},
        {Fault::DialogClosed, "STOP dialog closed"},
        {Fault::DialogEscaped, "STOP dialog Escaped"},
    };
    for (const MotionDef& m : motions()) {
        for (const auto& [fault, name] : faults) {
            const bool needsStop = fault == Fault::Stop || fault == Fault::StopIgnored;
            const bool needsDialog = fault == Fault::DialogClosed || fault == Fault::DialogEscaped;
            if ((needsStop && !m.stoppable) || (needsDialog && !m.dialog))
                continue;
            QTest::addRow("%s / %s", m.name, name) << QString::fromLatin1(m.name) << fault << "";
        }
        for (const QString& step : m.steps)
            QTest::addRow("%s / Stop during %s", m.name, qPrintable(step))
                << QString::fromLatin1(m.name) << Fault::StopAtStep << step;
    }
}

void TestMotionFaults::faults() {
    QFETCH(QString, motion);
    QFETCH(Fault, fault);
    QFETCH(QString, step);
    const MotionDef& m = motionNamed(motion);
    if (m.pulse) {
        PulseDriveRig r;
        run(r, m, fault, step);
    } else {
        DriveRig r;
        run(r, m, fault, step);
    }
}

template <typename Rig>
void TestMotionFaults::run(Rig& r, const MotionDef& m, Fault fault, const QString& step) {
    constexpr bool pulse = std::is_same_v<Rig, PulseDriveRig>;
    // The stop dialog of a real window: its STOP, closing and Escape go to the panel.
    frmstop dialog([&] { r.panel.stopAsked(); });
    r.host.onStopDialog = [&](bool shown) { shown ? dialog.show() : dialog.hide(); };
    r.drive.motion.setTimeoutLimit(Limit);
    r.controller.setMotionDuration(100);
    r.controller.setOriginDone(true);
    r.controller.memory().setPoint(0, {"A", "15.00", "20", ""});
    r.controller.memory().setZone(0, {"15.00", "20.00", {}});
    r.controller.setParameter(24, "1"); // a slow continuous jog
    r.controller.setServoOn(false);

    // Into the mode the motion runs in.
    if (m.operationMode) {
        r.panel.operationClicked();
        QVERIFY(r.drive.operationMode);
    } else if constexpr (!pulse) {
        if (QByteArray(m.name).contains("jog")) {
            r.panel.teachingSelected(2);
            QVERIFY(r.panel.teachingOpen());
        }
    }
    r.panel.monitor().stop();
    r.controller.clearReceived();
    r.op.prompts.clear();

    const auto pressStop = [&] {
        if constexpr (!pulse) {
            if (QByteArray(m.name).contains("jog") && !r.drive.motion.leftMoving()) {
                r.panel.jogReleased(true); // letting go stops a continuous jog
                return;
            }
        }
        if (r.drive.operationMode)
            r.panel.stopClicked();
        else
            dialog.findChild<QPushButton*>("Command1")->click();
    };
    const bool longMove = fault == Fault::LateReply || fault == Fault::LineDropped ||
                          fault == Fault::StopIgnored || fault == Fault::Stop ||
                          fault == Fault::WindowClosed || fault == Fault::DialogClosed ||
                          fault == Fault::DialogEscaped;
    // The last step before the move command: from there the fault applies (earlier motions
    // of the sequence, a jog's steps, run as usual).
    const auto lastStepDone = [&] {
        if (longMove)
            r.controller.setMotionDuration(LongMove);
        else
            r.controller.setParameter(24, "100"); // a continuous jog that ends in time
        if (fault == Fault::PortClosed)
            r.channel.setOpenFailure("Permission denied");
    };
    if (m.portStep.isEmpty())
        lastStepDone();
    if (fault == Fault::Refused)
        r.controller.setNgFor(m.move, ControllerDetail::CommandError);

    int portSteps = 0;
    bool moveSeen = false;
    connect(&r.controller, &VirtualController::lineHandled, this, [&](const QString& line) {
        if (fault == Fault::StopAtStep && line.startsWith(step))
            QTimer::singleShot(0, this, pressStop);
        if (!m.portStep.isEmpty() && line.startsWith(m.portStep) && ++portSteps == m.portStepCount)
            lastStepDone();
        if (moveSeen || !line.startsWith(m.move))
            return;
        moveSeen = true;
        switch (fault) {
        case Fault::NoReply:
            r.controller.setMotionEndSilent(true);
            break;
        case Fault::Noise:
            r.controller.setMotionEndPrefix("\x01\xfe");
            break;
        case Fault::LineDropped:
            QTimer::singleShot(80, this,
                               [&] { r.channel.simulateFault("the device was unplugged"); });
            break;
        case Fault::StopIgnored:
            r.controller.setSilentFor(QString(QChar(3)));
            QTimer::singleShot(80, this, pressStop);
            break;
        case Fault::Stop:
            QTimer::singleShot(80, this, pressStop);
            break;
        case Fault::WindowClosed:
            QTimer::singleShot(80, this, [&] {
                r.panel.stopAsked();
                r.panel.stopForExit();
            });
            break;
        case Fault::DialogClosed:
            QTimer::singleShot(80, this, [&] {
                QVERIFY(dialog.isVisible());
                dialog.close();
            });
            break;
        case Fault::DialogEscaped:
            QTimer::singleShot(80, this, [&] {
                QVERIFY(dialog.isVisible());
                QTest::keyClick(&dialog, Qt::Key_Escape);
            });
            break;
        default:
            break;
        }
    });

    // The motion.
    if constexpr (pulse) {
        if (QByteArray(m.name).contains("teaching"))
            r.panel.teachClicked(false);
        else if (QByteArray(m.name).contains("start"))
            r.panel.startClicked();
        else
            r.panel.orgClicked();
    } else {
        const QByteArray name(m.name);
        if (name.contains("jog")) {
            r.panel.jogPressed(true);
            if (name.contains("step"))
                r.panel.jogReleased(true);
            QTest::qWait(1); // the jog runs from the event loop
            QTRY_VERIFY_WITH_TIMEOUT((!r.panel.jogRunning() && r.drive.motion.idle()) ||
                                         r.drive.motion.leftMoving(),
                                     8000);
        } else if (name.contains("size")) {
            r.host.texts[SizeCtl::Direction] = "C";
            r.host.texts[SizeCtl::Speed] = "5";
            r.host.texts[SizeCtl::Level] = "3";
            r.size.teach(true);
        } else if (name.contains("teaching")) {
            r.panel.teachingSelected(1);
        } else if (name.contains("move")) {
            r.panel.startClicked();
        } else {
            r.panel.orgClicked();
        }
    }

    const Expect e = expected(m, fault);
    const QByteArray received = r.controller.received();
    QCOMPARE(received.contains(m.move.toLatin1()), e.moveSent);
    QCOMPARE(after(received, m.move, "\x03"), e.stopOnLine);
    QStringList titles;
    for (const auto& p : r.op.prompts)
        if (p.kind == "message")
            titles << p.title;
    QCOMPARE(titles, e.titles);
    if (!e.informative.isEmpty()) {
        QCOMPARE(r.op.texts("message").first(), CommError);
        QVERIFY2(r.op.prompts.constLast().informative.contains(e.informative),
                 qPrintable(r.op.prompts.constLast().informative));
    }

    // The panel: nothing claims to move unless the actuator may, Setting is usable, and only
    // a stop control is left for an actuator that may still move.
    const Motion& motion = r.drive.motion;
    QCOMPARE(motion.leftMoving(), e.leftMoving);
    QVERIFY(motion.idle() || e.leftMoving);
    QCOMPARE(r.opState.orgpos, 0);
    QVERIFY(r.host.windowEnabled);
    QVERIFY(r.host.isEnabled(Ctl::Setting));
    QCOMPARE(r.host.isEnabled(Ctl::Stop), r.drive.operationMode && e.leftMoving);
    QCOMPARE(dialog.isVisible(), e.leftMoving && (m.dialog || !m.operationMode));
    const bool closed = fault == Fault::WindowClosed;
    QCOMPARE(r.panel.monitor().running(), r.drive.operationMode && motion.idle() && !closed);
    if (!e.leftMoving) {
        QVERIFY(!r.controller.motionRunning());
        return;
    }
    // Left moving: Stop again, with a controller that answers now, settles it.
    r.controller.setSilentFor(QString(QChar(3)), false);
    pressStop();
    QVERIFY(motion.idle());
    QVERIFY(!r.controller.motionRunning());
    QVERIFY(!r.host.isEnabled(Ctl::Stop));
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
