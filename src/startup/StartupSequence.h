#pragma once

#include "link/Link.h"
#include "startup/StartupRead.h"

#include <QObject>
#include <functional>
#include <optional>

class OperatorInteraction;
class ProgressView;

// The start-up window's sequence: take the port from the INI file, ask the controller for
// its kind (parameter 13), read the controller's tables into the main window of that kind
// (StartupRead) and hand over to it, or let the operator choose when the controller does not
// say; nothing is read after the operator's choice.
class StartupSequence final : public QObject {
    Q_OBJECT
  public:
    enum class Kind { PointInput, PulseTrain };

    StartupSequence(LinkState& state, SerialChannel& channel, QString iniPath,
                    QObject* parent = nullptr);

    // The kind query of the start-up: "@?PRM " 13 with its 2000 ms time-out on the given
    // link; the value of the reply, or nothing when the controller did not answer in time,
    // and why the kind could not be read, for the operator (the port, where it leads, the
    // reason).
    struct KindQuery {
        std::optional<QString> value;
        QString failure;
    };
    static KindQuery queryKind(Link& link);
    // The kind a value names by its first character: "0" point input, "1" pulse train input.
    static std::optional<Kind> kindOf(const QString& value);

    // The start-up read: the progress dialog of the start-up window (its Cancel also ends a
    // running wait of the start-up link), the operator, and the tables of the main window of
    // each kind. Without them the main window opens with nothing read.
    using TablesOf = std::function<StartupTables(Kind)>;
    void setProgress(ProgressView& progress);
    void setTableReader(OperatorInteraction& op, TablesOf tablesOf);

    // Runs the sequence; returns once the main window of the controller's kind may open (its
    // tables read), the manual choice is offered, or the program ended over an actuator type
    // other than 30 to 33 (then no window opens).
    void run();
    // The OK button of the manual choice.
    void choose(Kind kind);

    Link& link() { return m_link; }
    QString kindValue() const { return m_kindValue; }
    // Why the controller gave no kind (the port, where it leads, the reason), once the manual
    // choice is offered; empty when it gave one.
    QString failure() const { return m_failure; }
    // What the main window's status bar (panel 1) says from the start: a QRX5.ini that could
    // not be read and why the controller gave no kind; empty when all went well.
    QString problems() const;
    // Why the INI file could not be read at start, with the port used instead; empty when it
    // was read or was not there (PortName::readProblem).
    QString iniProblem() const { return m_iniProblem; }

    static constexpr int KindQueryTimeoutMs = 2000;
    static constexpr int FoundDisplayMs = 300;

  signals:
    void statusText(const QString& text);          // Label1
    void iniProblemFound(const QString& text);     // before the controller is asked
    void manualChoiceOffered();                    // hide Label1, show Frame1 and Command1
    void kindDetected(StartupSequence::Kind kind); // the tables are read next
    void openMainWindow(StartupSequence::Kind kind);

  private:
    void fallback();
    // False when the program ended during the read.
    bool readTables(Kind kind);

    LinkState& m_state;
    Link m_link;
    QString m_failure;
    QString m_iniPath;
    QString m_kindValue;
    QString m_iniProblem;
    ProgressView* m_progress = nullptr;
    OperatorInteraction* m_op = nullptr;
    TablesOf m_tablesOf;
};
