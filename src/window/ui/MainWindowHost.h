#pragma once

#include "transfers/Operation.h"
#include "window/ui/MainWindowBase.h"

#include <utility>

// The window side of the operations, forwarded to a main window: the one restore step, the
// numeric-input option, disabling the window, the save question and Compare's marks. Base is
// OperationHost or one of the panel hosts built on it; the kind gives refreshDependentDisplays
// (and whatever else Base asks for).
template <typename Base> class MainWindowHost : public Base {
  public:
    template <typename... Args>
    explicit MainWindowHost(MainWindowBase& window, Args&&... args)
        : Base(std::forward<Args>(args)...), m_window(window) {}

    // OperationHost.
    void restore() override { m_window.restoreWindow(); }
    void disableWindow() override { m_window.setEnabled(false); }
    bool numericInputMode() const override { return m_window.numericInputMode(); }
    void focusNumericInputOption() override { m_window.focusNumericInputOption(); }
    bool confirmDiscard() override { return m_window.confirmDiscard(); }
    void markDifferences(const QList<Difference>& differences) override {
        m_window.cellMarks().set(differences);
    }
    void writeBlockChanged(const BlockProgress& block) override {
        m_window.writeBlockChanged(block);
    }
    void transferFinished(const FinishedTransfer& t) override { m_window.transferFinished(t); }

  protected:
    MainWindowBase& m_window;
};
