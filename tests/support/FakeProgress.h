#pragma once

#include "operator/ProgressView.h"

#include <QList>
#include <functional>

// A progress dialog for operation tests: records what the operation did with it and can
// click Cancel when the value reaches a given point.
class FakeProgress final : public ProgressView {
  public:
    int minimum = 0;
    int maximum = 0;
    int value = 0;
    bool shown = false;
    bool cancel = false;
    int cancelAtValue = -1; // Cancel is clicked when the value reaches this, -1 never
    QList<int> values;
    // Told every value set, after it was recorded (a test may click Cancel from here).
    std::function<void(int)> onValue;

    void setRange(int min, int max) override {
        minimum = min;
        maximum = max;
    }
    void setValue(int v) override {
        value = v;
        values << v;
        if (v == cancelAtValue)
            cancel = true;
        if (onValue)
            onValue(v);
    }
    void showModeless() override { shown = true; }
    void hide() override { shown = false; }
    bool isShown() const override { return shown; }
    bool cancelRequested() const override { return cancel; }
    void resetCancel() override {
        cancel = false;
        cancelAtValue = -1;
    }
    // The Cancel button as the operator clicks it: the tag, and the link told at once.
    void clickCancel() {
        cancel = true;
        notifyCancelClicked();
    }
};
