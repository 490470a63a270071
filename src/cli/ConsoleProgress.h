#pragma once

#include "operator/ProgressView.h"

#include <QString>

class Console;

// The transfer progress as the command line shows it: "Receive Point 34/63" drawn over
// itself on standard error (only on a terminal). Its cancel request is the interrupt key.
class ConsoleProgress final : public ProgressView {
  public:
    explicit ConsoleProgress(Console& console);
    // What the progress line names: the step the command line runs.
    void setTitle(const QString& title) { m_title = title; }

    void setRange(int minimum, int maximum) override;
    void setValue(int value) override;
    void showModeless() override;
    void hide() override;
    bool isShown() const override { return m_shown; }
    bool cancelRequested() const override { return m_cancel; }
    void resetCancel() override { m_cancel = false; }

    // The interrupt key: the running operation ends as after a Cancel click.
    void requestCancel();
    // The interrupt key within a write block: nothing is cancelled, the run ends afterwards.
    void markInterrupted() { m_interrupted = true; }
    bool interrupted() const { return m_interrupted; }

  private:
    void draw();

    Console& m_console;
    QString m_title;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_value = 0;
    bool m_shown = false;
    bool m_cancel = false;
    bool m_interrupted = false;
};
