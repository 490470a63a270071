#pragma once

#include "link/Link.h"

#include <QObject>

// The start-up window's sequence: take the port from the INI file, ask the controller for
// its kind (parameter 13) and hand over to the main window of that kind, or let the operator
// choose when the controller does not say.
class StartupSequence final : public QObject {
    Q_OBJECT
  public:
    enum class Kind { PointInput, PulseTrain };

    StartupSequence(LinkState& state, SerialChannel& channel, QString iniPath,
                    QObject* parent = nullptr);

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
