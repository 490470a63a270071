#pragma once

#include "pointops/PointDrive.h"
#include "pulse/PulseDrive.h"

#include <QHash>
#include <QStringList>
#include <array>

// The window side of a drive panel for tests (Base: the kind's PanelHost): keeps every
// control's state by object name (enabled unless disabled, no colour, no text until set), the
// lamps, the carriage, the stop dialog and the status bar, and the flags of the operation host.
template <typename Base> class FakePanelHostOf : public Base {
  public:
    using Base::Base;

    bool windowEnabled = true;
    bool toolbarEnabled = true;
    bool commandsLocked = false;
    bool lockedWhileMoving = false; // the items that open windows or dialogs
    int refreshes = 0;
    QHash<QString, bool> enabled;
    QHash<QString, quint32> colours; // absent: the button face colour
    QHash<QString, QString> texts;
    QHash<QString, bool> checked;
    QStringList focused;
    QStringList selected; // boxes whose whole text was selected
    std::array<bool, 14> lamps{};
    std::array<bool, 14> lampShown = [] {
        std::array<bool, 14> a{};
        a.fill(true);
        return a;
    }();
    double carriagePosition = -1;
    bool stopDialogShown = false;
    bool silent = false; // the lamps' state shown as unknown
    QString silentLine;
    int stopDialogShows = 0;
    QHash<int, QString> status;
    // Called when the window's dependent displays are refreshed (the tables are the test's).
    std::function<void()> onRefresh;
    // Called when the stop dialog is shown or hidden (a test may show a real one).
    std::function<void(bool)> onStopDialog;
    // Called when a control is enabled or disabled (a test may mirror it on a real button).
    std::function<void(const QString&, bool)> onEnabled;

    bool isEnabled(const char* name) const { return enabled.value(QLatin1String(name), true); }
    std::optional<quint32> colour(const char* name) const {
        const auto it = colours.constFind(QLatin1String(name));
        return it == colours.cend() ? std::nullopt : std::optional<quint32>(*it);
    }

    // OperationHost.
    bool numericInputMode() const override { return checked.value("Opt_Num_0", true); }
    void restore() override {
        windowEnabled = true;
        if (!commandsLocked)
            toolbarEnabled = true;
    }
    void disableWindow() override { windowEnabled = false; }
    void refreshDependentDisplays() override {
        ++refreshes;
        if (onRefresh)
            onRefresh();
    }
    bool confirmDiscard() override { return true; }

    // PanelHost.
    void setControlEnabled(const QString& name, bool on) override {
        enabled[name] = on;
        if (onEnabled)
            onEnabled(name, on);
    }
    bool controlEnabled(const QString& name) const override { return enabled.value(name, true); }
    void setControlColour(const QString& name, std::optional<quint32> bgr) override {
        if (bgr)
            colours[name] = *bgr;
        else
            colours.remove(name);
    }
    QString controlText(const QString& name) const override { return texts.value(name); }
    void setControlText(const QString& name, const QString& text) override { texts[name] = text; }
    void setControlChecked(const QString& name, bool on) override { checked[name] = on; }
    void focusControl(const QString& name) override { focused << name; }
    void selectControlText(const QString& name) override { selected << name; }
    void setLamp(int index, bool on) override {
        if (index >= 0 && index < 14)
            lamps[index] = on;
    }
    void resetLamps() override { lamps.fill(false); }
    void showControllerSilent(bool on, const QString& line) override {
        silent = on;
        silentLine = line;
    }
    void showCarriage(double positionMm, double, int) override { carriagePosition = positionMm; }
    void setStopDialogShown(bool shown) override {
        if (shown == stopDialogShown)
            return;
        stopDialogShown = shown;
        stopDialogShows += shown ? 1 : 0;
        if (onStopDialog)
            onStopDialog(shown);
    }
    void setStatusText(int panel, const QString& text) override { status[panel] = text; }
    void disableCommands() override {
        commandsLocked = true;
        toolbarEnabled = false;
    }
    void enableCommands() override {
        commandsLocked = false;
        toolbarEnabled = true;
    }
    void lockWhileMoving(bool moving) override { lockedWhileMoving = moving; }
};

// The point-input window's side.
class FakePanelHost final : public FakePanelHostOf<PointDriveHost> {
  public:
    using FakePanelHostOf::FakePanelHostOf;
    int pointRow = 0;

    // PointDriveHost.
    void showPointGrid() override {}
    int currentPointRow() const override { return pointRow; }
    void setLampShown(int index, bool shown) override {
        if (index >= 0 && index < 14)
            lampShown[index] = shown;
    }
};

// The pulse-train window's side: the zone grid's current cell.
class FakePulseHost final : public FakePanelHostOf<PulseDriveHost> {
  public:
    using FakePanelHostOf::FakePanelHostOf;
    std::pair<int, int> zoneCell{0, 1};
    std::pair<int, int> currentZoneCell() const override { return zoneCell; }
};
