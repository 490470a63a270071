#pragma once

#include "dialogs/ui/frmstop.h"
#include "drive/Drive.h"
#include "window/ui/CarriageFigure.h"
#include "window/ui/IoLamps.h"
#include "window/ui/MainWindowBase.h"
#include "window/ui/MainWindowHost.h"
#include "window/ui/PanelControls.h"

// A main window as the drive sequences of its kind see it (Base: the kind's PanelHost): the
// window side of the operations (MainWindowHost), its panel controls by object name, its I/O lamps,
// its carriage figure (with the kind's geometry), its stop dialog and status bar. Each kind adds
// what only it has (its grids, its dependent displays).
template <typename Base> class WindowPanelHost : public MainWindowHost<Base> {
  public:
    WindowPanelHost(MainWindowBase& window, IoLamps* lamps, CarriageFigure* carriage)
        : MainWindowHost<Base>(window, window.driveState()), m_controls(window.centralWidget()),
          m_lamps(lamps), m_carriage(carriage) {}

    // PanelHost.
    void setControlEnabled(const QString& name, bool enabled) override {
        m_controls.setEnabled(name, enabled);
    }
    bool controlEnabled(const QString& name) const override { return m_controls.isEnabled(name); }
    void setControlColour(const QString& name, std::optional<quint32> bgr) override {
        m_controls.setColour(name, bgr);
    }
    QString controlText(const QString& name) const override { return m_controls.text(name); }
    void setControlText(const QString& name, const QString& text) override {
        m_controls.setText(name, text);
    }
    void setControlChecked(const QString& name, bool checked) override {
        m_controls.setChecked(name, checked);
    }
    void focusControl(const QString& name) override { m_controls.focus(name); }
    void selectControlText(const QString& name) override { m_controls.selectText(name); }
    void setLamp(int index, bool on) override { m_lamps->setLamp(index, on); }
    void resetLamps() override { m_lamps->resetLamps(); }
    void showControllerSilent(bool silent, const QString& line) override {
        m_lamps->setUnknown(silent);
        m_window.showControllerSilent(silent, line);
    }
    void showCarriage(double positionMm, double strokeMm, int originDirection) override {
        m_carriage->setCarriageLeft(CarriageFigure::carriageLeftFor(
            positionMm, strokeMm, originDirection, m_carriage->geometry()));
    }
    void setStopDialogShown(bool shown) override {
        if (shown == m_window.stopDialogShown())
            return;
        if (shown)
            m_window.stopDialog().show();
        else
            m_window.stopDialog().hide();
    }
    void setStatusText(int panel, const QString& text) override {
        m_window.setPanelText(panel, text);
    }
    void disableCommands() override { m_window.DisableCommands(); }
    void enableCommands() override { m_window.EnableCommands(); }
    void lockWhileMoving(bool moving) override { m_window.lockWhileMoving(moving); }

  protected:
    using MainWindowHost<Base>::m_window;
    PanelControls m_controls;
    IoLamps* m_lamps;
    CarriageFigure* m_carriage;
};
