#pragma once

#include <QDialog>
#include <memory>

class OperatorInteraction;
class QPlainTextEdit;
class TrafficLog;

// The traffic log window of the View menu: every line sent to and received from the
// controller with its time stamp, following the log as lines arrive. Save writes the log as
// a text file (whole or not at all); Clear empties it. Modeless; deleted when closed.
class TrafficLogWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrafficLogWindow)
  public:
    TrafficLogWindow(std::shared_ptr<TrafficLog> log, OperatorInteraction& op,
                     QWidget* parent = nullptr);
    ~TrafficLogWindow() override;

    // Save: asks for a file name and writes the log; false when cancelled or not written.
    bool save();

    static QString title() { return QStringLiteral("Traffic Log"); }

  private:
    std::shared_ptr<TrafficLog> m_log;
    OperatorInteraction& m_op;
    QPlainTextEdit* m_view;
};
