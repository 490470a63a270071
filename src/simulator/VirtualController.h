#pragma once

#include "simulator/ControllerMemory.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class QTimer;

// A controller of either kind as a protocol peer: bytes from the PC go in through receive(),
// the controller's answers come out through transmit(). Used by the tests, by the built-in
// "sim:point" / "sim:pulse" ports and by the pseudo-terminal server qrx5-sim.
//
// Input. Commands arrive as word + argument + "," + CR LF ("@?PRM 13,\r\n"); data lines of a
// write block have no comma ("P5=A,12.50,30\r\n", "PRM35=100\r\n", "PRM22 = 0\r\n",
// "Z0=-10.00,20.00\r\n"); the stop character (code 3) and the end-of-data character (code 26)
// come alone. Bytes may arrive split anywhere or several lines at once; CR or LF ends a line
// and empty lines are ignored. The raw lines of the pulse-train start sequence ("@?SRVO",
// "@SRVO 1", "@?ORG", "@MOVP 2") come without comma and line end: a pending text that is one
// of these complete raw commands is taken as a line once no byte has followed for 30 ms (the
// line gives no other sign that such a command is complete; the PC writes a line in one
// piece, so the quiet time never splits one; a stop character that follows at once is taken
// after the command). Any other pending text keeps waiting for its line end.
// Leading control or non-ASCII bytes of a line are skipped; lines longer than 256 characters
// are refused.
//
// Replies (lines end in CR LF):
//   carried out:        "OK"
//   one-value query:    value, "OK"               ("@?PRM 13," -> "0" CR LF "OK" CR LF;
//                                                   setValueWidth pads "@?PRM " values)
//   refused:            "NG", detail              (detail such as "37:RANGE OVER", see
//                                                   ControllerDetail)
//   motion stopped:     "STOP", "61:STOP COMMAND" (the stop character ended it)
//   no pushing object:  "STOP", "64:NO OBJECT"    (size detection push met nothing)
//   write block opened: "READY"; data lines are answered only when refused ("NG", detail);
//                       the end-of-data character is answered "OK", or "NG" and the detail of
//                       the first refused line of the block. The lines already accepted stay.
//   "@?VER ":           the version text ("1.05"), "OK"
//   "@?POS ":           position in mm with two decimals, a blank before a positive value
//                       (" 12.30"), "?" in place of the minus sign ("?12.30"), "OK"
//   "@?ORG " / "@?SRVO ": "1" (origin set / servo on) or "0", "OK"
//   "@?PRS ":           "0" positioning operation, "2" pushing operation, "OK"; while a
//                       switch is under way (setPressTransition) "1" or "3"
//   "@READ PNT ":       "P<n>=<mode>,<fields>" per set point (A, I: position, speed; O, C:
//                       speed, pushing level; U: position, speed, pushing level); points that
//                       are not set have no line; "OK"
//   "@READ PRM ":       "PRM<n>=<value>" for n = 0..63; "OK"
//   "@READ ZON ":       "Z<n>=<A>,<B>" per set zone; "OK"
//   "@READ ERR ":       one line per error history entry (oldest first); "OK"
//   "@READ DIO ":       new model "DO" + 6 characters, "DI" + 10 characters, "OK";
//                       old model "DO" + 5 characters, "DI" + 9 characters, "OK".
//                       DO (new), point-input kind: alarm, servo, hold, in-position, busy,
//                       ready; pulse-train kind: alarm, servo, zone (the position lies
//                       within a set zone), in-position, enable (servo on), ready. The old
//                       model lacks the alarm output. DI: the inputs set by setInputs(); of
//                       a pulse-train controller the 7th is PRESS, the 9th CCLR, the 10th ALR.
//   "@INIT PRM <type>": defaults of type 30..33 for this kind, "OK"; another type is refused.
// The stop character with no motion running is answered "OK".
//
//   "@?P <n>":          the point's line as "@READ PNT " lists it, "OK"; "38:NO POINT DATA"
//                       for a point that is not set.
// Motions ("@ORG ", "@MOVP ", "@MOVD ", "@X+ ", "@X- ", "@GMAX ", "@GMIN ") take the motion
// duration (setMotionDuration, 200 ms unless set) and are answered "OK" on arrival; while one
// runs the position moves evenly from start to target; the continuous jogs
// "@XINC " / "@XDEC " run at the teach speed (parameter 24) towards the soft limit and answer
// "OK" there. The stop character ends a running motion at once with the STOP reply. Every
// motion except the return to origin needs the origin set ("39:ORIGIN NOT SET"); a second
// motion while one runs is refused ("35:BUSY"); a move to a point that is not set is refused
// ("38:NO POINT DATA"); a step or jog beyond the soft limits is refused ("37:RANGE OVER").
// A pulse-train controller's "@MOVP n" goes to position A of zone n.
class VirtualController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VirtualController)
  public:
    using Kind = ControllerKind;
    // One character at 9600 bit/s with start, 8 data, parity and stop bit: 11 bits.
    static constexpr qint64 CharTimeNs = 11LL * 1000000000LL / 9600;

    explicit VirtualController(Kind kind = Kind::Point, QObject* parent = nullptr);
    ~VirtualController() override;

    Kind kind() const { return m_kind; }
    // Bytes from the PC.
    void receive(const QByteArray& bytes);

    // Every byte received from the PC, in order (for tests that assert the exact bytes); the
    // oldest bytes are dropped once the log passes 4 MiB.
    QByteArray received() const { return m_received; }
    void clearReceived() { m_received.clear(); }
    // A long-running server turns the log off so it cannot grow without limit.
    void setReceiveLogging(bool on) { m_logReceived = on; }

    // Tables and state.
    ControllerMemory& memory() { return m_memory; }
    const ControllerMemory& memory() const { return m_memory; }
    QString parameter(int n) const { return m_memory.parameter(n); }
    void setParameter(int n, const QString& value) { m_memory.setParameter(n, value); }
    int position() const; // 0.01 mm, also while a motion runs
    void setPosition(int hundredthsMm) { m_position = hundredthsMm; }
    bool servoOn() const { return m_servo; }
    void setServoOn(bool on) { m_servo = on; }
    bool originDone() const { return m_originDone; }
    void setOriginDone(bool done) { m_originDone = done; }
    bool pushingOperation() const { return m_pushing; }
    void setPushingOperation(bool pushing) { m_pushing = pushing; }
    // "@?PRS " answers this state (1 or 3: a switch of the operation type under way); 0 goes
    // back to answering the operation type.
    void setPressTransition(int state) { m_pressTransition = state; }
    bool alarm() const { return m_alarm; }
    void setAlarm(bool on) { m_alarm = on; }
    bool motionRunning() const { return m_motion.active; }
    QStringList errorHistory() const { return m_errors; }
    void setErrorHistory(const QStringList& lines) { m_errors = lines; }
    // The input characters of the "@READ DIO " reply (10 characters "0"/"1"; the old model
    // sends the first 9).
    void setInputs(const QString& bits);
    void setVersion(const QString& text) { m_version = text; }

    // Knobs.
    // Parameter 0 and the defaults of that type; an unsupported type (such as 34) keeps the
    // type-30 values with parameter 0 set to it.
    void setActuatorType(int type);
    int actuatorType() const { return m_memory.parameterInt(0); }
    void setOldModel(bool old) { m_oldModel = old; }
    bool oldModel() const { return m_oldModel; }
    // No reply at all / no reply for one command. Words are matched without their blanks
    // ("@?PRM " and "@?PRM" are the same); "P", "PRM" and "Z" name the data lines,
    // QChar(3) the stop character and QChar(26) the end-of-data character. A silenced or
    // refused command is not carried out.
    void setSilent(bool silent) { m_silentAll = silent; }
    void setSilentFor(const QString& word, bool silent = true);
    void setNgFor(const QString& word, const QString& detail = ControllerDetail::RangeOver);
    // The command (or the end-of-data character, "\x1a") is answered with these bytes instead
    // of its own reply: "ERR\r\n", "READY\r\n", "N".
    void setReplyInstead(const QString& word, const QByteArray& reply) {
        m_replyInstead.insert(keyOf(word), reply);
    }
    void clearNgFor(const QString& word);
    // Refuses the k-th data line (1-based) of every write block; 0 turns it off.
    void setNgForDataLine(int k, const QString& detail = ControllerDetail::RangeOver);
    // Each reply sent in `pieces` parts with `gapMs` between them.
    void setReplySplit(int pieces, int gapMs);
    // Each "NG" reply sent as its "N" alone, then the rest `gapMs` later (0: whole), as when a
    // refusal is cut at the end of a data line's wait.
    void setRefusalSplit(int gapMs) { m_refusalSplitMs = qMax(0, gapMs); }
    // The value of an "@?PRM " reply right-aligned with blanks in a field of this many
    // characters (" 31"), as some controllers send it; 0 sends the value as it is.
    void setValueWidth(int width) { m_valueWidth = qMax(0, width); }
    // Extra time before each reply starts.
    void setReplyDelay(int ms) { m_replyDelayMs = qMax(0, ms); }
    // 9600 bit/s line time: replies go out one character per CharTimeNs, and an incoming line
    // is handled only after its own line time. The reply's characters are timed from the
    // moment the line has come in, not from when the timer that noticed it woke up.
    void setPaced(bool paced) { m_paced = paced; }
    bool paced() const { return m_paced; }
    // Bytes put in front of every reply (garbage, non-ASCII).
    void setReplyPrefix(const QByteArray& bytes) { m_replyPrefix = bytes; }
    // Sends bytes at once, unasked.
    void inject(const QByteArray& bytes);
    // Answers every command with an endless stream that never holds a reply end, until turned
    // off or the stop character arrives.
    void setEndlessStream(bool on);
    void setMotionDuration(int ms) { m_motionMs = qMax(0, ms); }
    // Motions are carried out but their end reply never comes (lost on the line); the stop
    // character is still answered.
    void setMotionEndSilent(bool silent) { m_motionEndSilent = silent; }
    // Bytes put in front of a motion's end reply only (line noise on it).
    void setMotionEndPrefix(const QByteArray& bytes) { m_motionEndPrefix = bytes; }
    // The stop character does not stop a running motion: the motion ends there with its
    // normal reply, as if the stop had come just too late.
    void setStopRunsToEnd(bool on) { m_stopRunsToEnd = on; }
    // Size detection: the workpiece position (0.01 mm) that a push finds, or no workpiece.
    void setPushObjectAt(int hundredthsMm) { m_pushObjectAt = hundredthsMm; }
    void setNoPushObject(bool none) { m_noPushObject = none; }

  signals:
    // Bytes to the PC.
    void transmit(const QByteArray& bytes);
    // A line, the stop or the end-of-data character has been handled (after its line time).
    void lineHandled(const QString& line);

  private:
    enum class EventType { Line, Stop, EndOfData };
    struct InEvent {
        EventType type;
        QByteArray text;
        qint64 dueNs;
    };
    struct OutChunk {
        QByteArray bytes;
        qint64 dueNs;
    };
    struct Motion {
        bool active = false;
        int from = 0;
        int to = 0;
        qint64 startNs = 0;
        qint64 durationNs = 0;
        std::function<void()> onArrival;
    };

    // Input framing (VirtualController.cpp).
    void takeLine(const QByteArray& line);
    void queueEvent(EventType type, const QByteArray& text, qint64 lineBytes);
    void processDueEvents();
    void handleEvent(const InEvent& e);
    void rawIdle();
    static bool isRawCommand(const QByteArray& text);
    // Output pipeline.
    void reply(const QByteArray& bytes);
    void drainOutput();
    void sendStreamChunk();
    qint64 nowNs() const { return m_clock.nsecsElapsed(); }
    static QString keyOf(const QString& word);
    bool silencedOrRefused(const QString& key);

    // Commands and motions (VirtualControllerCommands.cpp).
    void handleLine(const QString& line);
    void handleCommand(int code, const QString& arg);
    void handleDataLine(const QString& line);
    void handleEndOfData();
    void handleStop();
    void replyOk();
    void replyValue(const QString& value);
    void replyNg(const QString& detail);
    QByteArray dioReply() const;
    bool inZone() const;
    QString positionText() const;
    bool checkMotionAllowed(bool needsOrigin);
    void startMotion(int to, qint64 durationMs, std::function<void()> onArrival);
    void startJog(bool plus);
    void moveToPoint(const QString& arg);
    void queryPoint(const QString& arg);
    void measure(bool maximum, const QString& arg);
    void arriveMotion();

    Kind m_kind;
    ControllerMemory m_memory;
    QElapsedTimer m_clock;

    // Input.
    QByteArray m_received;
    bool m_logReceived = true;
    QByteArray m_inLine;
    bool m_inOverflow = false;
    qint64 m_inputFreeNs = 0;
    QList<InEvent> m_events;
    QTimer* m_eventTimer;
    QTimer* m_rawTimer;

    // Output.
    QList<OutChunk> m_out;
    qint64 m_outFreeNs = 0;
    qint64 m_handlingDueNs = -1; // when the line being handled came in (paced), else -1
    QTimer* m_outTimer;
    QTimer* m_streamTimer;

    // Write block: 0 none, else the data line code it takes (300, 301, 302).
    int m_blockCode = 0;
    int m_blockLines = 0;
    QString m_blockError;

    // Machine state.
    int m_position = 0;
    bool m_servo = false;
    bool m_originDone = false;
    bool m_pushing = false;
    int m_pressTransition = 0;
    bool m_alarm = false;
    int m_lastPoint = 0;
    QStringList m_errors;
    QString m_inputs = QStringLiteral("0000000000");
    QString m_version = QStringLiteral("1.05");
    Motion m_motion;
    QTimer* m_motionTimer;

    // Knobs.
    bool m_oldModel = false;
    bool m_silentAll = false;
    QSet<QString> m_silentFor;
    QHash<QString, QString> m_ngFor;
    QHash<QString, QByteArray> m_replyInstead;
    int m_ngDataLine = 0;
    QString m_ngDataLineDetail;
    int m_splitPieces = 1;
    int m_splitGapMs = 0;
    int m_refusalSplitMs = 0;
    int m_replyDelayMs = 0;
    int m_valueWidth = 0;
    bool m_paced = false;
    QByteArray m_replyPrefix;
    bool m_endless = false;
    int m_motionMs = 200;
    bool m_motionEndSilent = false;
    bool m_muted = false;     // a motion's end reply is being dropped
    bool m_motionEnd = false; // a motion's end reply is being sent
    QByteArray m_motionEndPrefix;
    bool m_stopRunsToEnd = false;
    int m_pushObjectAt = 1000;
    bool m_noPushObject = false;
};
