#pragma once

#include "history/TransferRecorder.h"
#include "transfers/Operation.h"

#include <QStringList>

// The window side of the point-input operations for tests: records the calls and keeps the
// flags.
class FakeOperationHost final : public OperationHost {
  public:
    bool windowEnabled = true;
    bool toolbarEnabled = true;
    bool discardAnswer = true;
    int refreshes = 0;
    QStringList calls;
    QList<Difference> marked;  // what Compare asked the window to mark
    TransferRecorder recorder; // what the transfers finished, between begin() and end()

    void restore() override {
        windowEnabled = true;
        toolbarEnabled = true;
    }
    void disableWindow() override { windowEnabled = false; }
    void refreshDependentDisplays() override { ++refreshes; }
    void markDifferences(const QList<Difference>& d) override { marked = d; }
    void writeBlockChanged(const BlockProgress& block) override { recorder.blockChanged(block); }
    void transferFinished(const FinishedTransfer& t) override { recorder.finished(t); }
    bool confirmDiscard() override {
        calls << "confirmDiscard";
        return discardAnswer;
    }
};
