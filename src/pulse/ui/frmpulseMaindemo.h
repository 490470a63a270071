#pragma once

#include "startup/ui/MainWindowBase.h"

#include <QHash>

class QAction;

// The main window of the pulse-train kind. It talks over its own link; its tables, operation
// panel and teaching are added to this frame.
class frmpulseMaindemo final : public MainWindowBase {
    Q_OBJECT
  public:
    frmpulseMaindemo(LinkState& state, OperatorInteraction& op, SerialChannel& channel,
                     QString iniPath, QWidget* parent = nullptr);

    QAction* action(const QString& name) const { return m_actions.value(name); }

  private:
    QAction* addItem(class QMenu* menu, const QString& name, const QString& caption);
    QHash<QString, QAction*> m_actions;
};
