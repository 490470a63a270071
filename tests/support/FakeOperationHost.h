#pragma once

#include "transfers/Operation.h"

#include <QStringList>

// The window side of the point-input operations for tests: records the calls and keeps the
// flags.
class FakeOperationHost final : public OperationHost {
  public:
    int setteiValue = 0;
    bool windowEnabled = true;
    bool toolbarEnabled = true;
    bool discardAnswer = true;
    int refreshes = 0;
    QStringList calls;
    QList<Difference> marked; // what Compare asked the window to mark

    bool settei() const override { return setteiValue != 0; }
    void setSettei(int v) override { setteiValue = v; }
    void disableWindow() override { windowEnabled = false; }
    void enableWindow() override { windowEnabled = true; }
    void enableToolbar() override { toolbarEnabled = true; }
    void hideProgress() override { calls << "hideProgress"; }
    void refreshDependentDisplays() override { ++refreshes; }
    void markDifferences(const QList<Difference>& d) override { marked = d; }
    bool confirmDiscard() override {
        calls << "confirmDiscard";
        return discardAnswer;
    }
};
