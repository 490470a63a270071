#pragma once

// The motion fault table: every motion of both kinds (how it is started, its steps before the
// move command, its title), every fault of the line and every way of asking to stop, and what
// the operator and the panel must be left with for each pair.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace MotionFaults {

inline const QString CommError = "The communication error. Please check the connection.";
constexpr int Limit = 300;     // every motion's time-out, and every stop's answer time
constexpr int LongMove = 1500; // a motion that is still running when it is stopped

enum class Fault {
    NoReply,         // carried out, its end reply never comes
    LateReply,       // the end reply would come after the time-out
    Refused,         // "NG": nothing moves
    Noise,           // the end reply comes with line noise
    NoiseMidMove,    // line noise while it moves, the end reply still to come
    NgWithoutDetail, // "NG" while it moves, its detail line never follows
    PortClosed,      // the port cannot be opened for the move command
    LineDropped,     // the line is lost while the actuator moves
    DeviceGone,      // ... and the device stays gone: no stop can be written
    StopIgnored,     // Stop while it moves, but the controller ignores the stop character
    StopRunsToEnd,   // Stop while it moves, and the move ends normally all the same
    StopAtStep,      // Stop during a step before the move command
    Stop,            // Stop while it moves
    WindowClosed,
    DialogClosed,
    DialogEscaped,
};

// How the motion is started.
enum class How { Org, Start, JogStep, Jog, Size, Teach, AfterSet };

// One motion: how it is started and what it must look like.
struct MotionDef {
    const char* name;
    bool pulse;
    How how;
    const char* title;         // the title the operator is told under
    QStringList steps;         // lines before the move command (a stop there cancels it)
    QString portStep;          // the line after which the move command's exchange opens
    int portStepCount;         // ... its occurrence
    QString move;              // the move command's line
    int moveCount;             // ... which of the sequence's lines of that command it is
    bool dialog;               // the stop dialog is shown while it moves
    bool dialogLeft;           // ... and while the actuator is left moving
    QStringList refusedTitles; // the messages an "NG" to the move command gives
    QString cancelled = {};    // the title that tells a stop before anything moved
    bool originSet = true;     // the controller's origin is established before
    QByteArray never = {};     // a line the sequence must not reach after the fault

    bool operationMode() const { return how == How::Org || how == How::Start; }
    bool jog() const { return how == How::Jog || how == How::JogStep; }
};

inline const QStringList PointOrigin{"@?PRM 5,", "@?PRM 35,", "@?PRM 21,"};
inline const QStringList PulseOrigin{"@?PRM 5,", "@?PRM 35,", "@?PRM 0,"};
inline const QStringList PulseStart{"@READ ZON", "@?SRVO", "@SRVO 1", "@?ORG"};

inline const QList<MotionDef>& motions() {
    const QStringList error{"Error"};
    const QStringList size{"Size detection"};
    static const QList<MotionDef> all = {
        {"point return to origin", false, How::Org, "Org", PointOrigin, "@?PRM 21,", 1, "@ORG", 1,
         true, true, error},
        {"point move",
         false,
         How::Start,
         "Point",
         {"@?ORG", "@?P 0"},
         "@?P 0",
         1,
         "@MOVP",
         1,
         false,
         false,
         error},
        {"point start's return to origin",
         false,
         How::Start,
         "Org",
         QStringList{"@?ORG"} + PointOrigin,
         "@?PRM 21,",
         1,
         "@ORG",
         1,
         true,
         false,
         error,
         {},
         false,
         "@MOVP"},
        {"jog step", false, How::JogStep, "JOG", {}, "", 0, "@X+", 1, false, false, error},
        {"continuous jog",
         false,
         How::Jog,
         "Parameter",
         {},
         "@?PRM 35,",
         3,
         "@XINC",
         1,
         false,
         false,
         error},
        {"size measurement",
         false,
         How::Size,
         "Size detection",
         {"@READ DIO"},
         "@ORG",
         1,
         "@GMAX",
         1,
         true,
         true,
         size + size},
        {"size detection's first return",
         false,
         How::Size,
         "Size detection",
         {"@READ DIO"},
         "@READ DIO",
         1,
         "@ORG",
         1,
         true,
         true,
         size},
        {"size detection's closing return",
         false,
         How::Size,
         "Size detection",
         {"@?PRM 31,"},
         "@?PRM 31,",
         1,
         "@ORG",
         2,
         true,
         true,
         size},
        {"teaching return to origin", false, How::Teach, "Org", PointOrigin, "@?PRM 21,", 1, "@ORG",
         1, true, true, error},
        {"return to origin after SET", false, How::AfterSet, "Org", PointOrigin, "@?PRM 21,", 1,
         "@ORG", 1, true, true, error},
        {"pulse return to origin", true, How::Org, "Return to origin", PulseOrigin, "@?PRM 0,", 1,
         "@ORG", 1, false, false, error},
        {"pulse start",
         true,
         How::Start,
         "Start",
         PulseStart,
         "@?ORG",
         1,
         "@MOVP",
         1,
         false,
         false,
         {},
         "Start"},
        {"pulse start's return to origin", true, How::Start, "Start", PulseStart + PulseOrigin,
         "@?PRM 0,", 1, "@ORG", 1, true, false, error, "Start", false, "@MOVP"},
        {"pulse teaching return to origin", true, How::Teach, "Direct Teach", PulseOrigin,
         "@?PRM 0,", 1, "@ORG", 1, true, true, error},
        {"pulse return to origin after SET", true, How::AfterSet, "Teaching", PulseOrigin,
         "@?PRM 0,", 1, "@ORG", 1, true, true, error},
    };
    return all;
}

inline const MotionDef& motionNamed(const QString& name) {
    for (const MotionDef& m : motions())
        if (QLatin1String(m.name) == name)
            return m;
    qFatal("no motion %s", qPrintable(name));
}

// Where the motion's exchange is cut (or stopped) and what must follow.
struct Expect {
    bool stopOnLine = false;  // the stop character follows the move command
    bool moveSent = true;     // the move command reached the line
    QStringList titles;       // the titles of the messages shown
    QString informative;      // a part of the first message's informative text
    bool leftMoving = false;  // the stop got no answer: the actuator may still move
    QString text = CommError; // the first message's text, when informative is given
};

inline Expect expected(const MotionDef& m, Fault f) {
    const QStringList told{QString::fromLatin1(m.title)};
    switch (f) {
    case Fault::NoReply:
        return {true, true, told, "The stop command was sent and answered."};
    case Fault::LateReply:
        return {true, true, told, "no answer within 0.3 s"};
    case Fault::Refused:
        return {false, true, m.refusedTitles, {}};
    case Fault::Noise:
    case Fault::NoiseMidMove:
        return {true, true, told, "noise on the line"};
    case Fault::NgWithoutDetail:
        return {true, true, told, "without its detail line"};
    case Fault::PortClosed:
        return {false, false, told, "did not go out"};
    case Fault::LineDropped:
        return {true, true, told, "the device was unplugged"};
    case Fault::DeviceGone:
        return {false, true, told, "The stop could not be written: the line is gone", true};
    case Fault::StopIgnored:
        return {true, true, told, "not answered within 0.3 s", true};
    case Fault::StopRunsToEnd:
        // A jog step's end after its release is no stop ignored.
        return {true, true,  m.how == How::JogStep ? QStringList{} : told,
                {},   false, "The stop was not acknowledged; the move ran to its end."};
    case Fault::StopAtStep:
        return {false, false, m.cancelled.isEmpty() ? QStringList{} : QStringList{m.cancelled}};
    case Fault::Stop:
    case Fault::WindowClosed:
    case Fault::DialogClosed:
    case Fault::DialogEscaped:
        return {true, true, {}, {}};
    }
    return {};
}

} // namespace MotionFaults
