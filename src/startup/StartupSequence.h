#pragma once

#include "link/Link.h"

#include <QObject>
#include <optional>

// The start-up window's sequence: take the port from the INI file, ask the controller for
// its kind (parameter 13) and hand over to the main window of that kind, or let the operator
// choose when the controller does not say.
class StartupSequence final : public QObject {
    Q_OBJECT
  public:
    enum class Kind { PointInput, PulseTrain };

    StartupSequence(LinkState& state, SerialChannel& channel, QString iniPath,
                    QObject* parent = nullptr);

    // The kind query of the start-up: "@?PRM " 13 with its 2000 ms time-out on the given
    // link; the value of the reply, or nothing when the controller did not answer in time.
    static std::optional<QString> queryKind(Link& link);
    // The kind a value names by its first character: "0" point input, "1" pulse train input.
    static std::optional<Kind> kindOf(const QString& value);

    // Runs the sequence; returns once the kind is known or the manual choice is offered.
    void run();
    // The OK button of the manual choice.
    void choose(Kind kind);

    Link& link() { return m_link; }
    QString kindValue() const { return m_kindValue; }

    static constexpr int KindQueryTimeoutMs = 2000;
    static constexpr int FoundDisplayMs = 300;

  signals:
    void statusText(const QString& text);          // Label1
    void manualChoiceOffered();                    // hide Label1, show Frame1 and Command1
    void kindDetected(StartupSequence::Kind kind); // read the tables (later), then open
    void openMainWindow(StartupSequence::Kind kind);

  private:
    void fallback();

    LinkState& m_state;
    Link m_link;
    QString m_iniPath;
    QString m_kindValue;
};
