#pragma once

#include "startup/ui/MainWindowBase.h"

#include <QHash>

class QAction;
class QMenu;
class QStackedWidget;
class QToolBar;

// The main window of the point-input kind: point grid and parameter grid (one shown at a
// time), drive panel, size detection panel, I/O lamps and the communication boxes, with its
// menus, toolbar and status bar.
class frmMain final : public MainWindowBase {
    Q_OBJECT
  public:
    frmMain(LinkState& state, OperatorInteraction& op, SerialChannel& channel, QString iniPath,
            QWidget* parent = nullptr);

    QAction* action(const QString& name) const { return m_actions.value(name); }
    QAction* toolbarKey(const QString& key) const { return m_keys.value(key); }
    QToolBar* toolbar() const { return m_toolbar; }

    void DisableCommands();
    void EnableCommands();
    void EnableToolbar();
    void DisableToolbar();
    void RestoreWindow();

    // LinkHost
    void enableToolbar() override { EnableToolbar(); }

  private:
    void buildMenus();
    void buildToolbar();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);

    QHash<QString, QAction*> m_actions;
    QHash<QString, QAction*> m_keys;
    QToolBar* m_toolbar = nullptr;
    QStackedWidget* m_grids = nullptr;
};
