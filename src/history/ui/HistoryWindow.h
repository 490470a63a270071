#pragma once

#include "history/HistoryMessage.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTreeWidget;

// File > History...: the versions of one port's settings file in the controller history,
// newest first (date, operation, kind, actuator type, result, id; the author and where each
// table came from in the tool tip). The chosen version can be compared with the window's
// tables or opened as new unsaved tables: the window does either (compareRequested,
// openRequested). With no version to show, the list gives way to why (no history yet, the
// history turned off, a folder that cannot be read).
class HistoryWindow final : public QDialog {
    Q_OBJECT
  public:
    // title: "History of COM1"; place: where the history is kept ("Versions of COM1 in ..."),
    // or why there is none to show.
    HistoryWindow(const QString& title, const QString& place, QList<HistoryVersion> versions,
                  QWidget* parent = nullptr);

    const QList<HistoryVersion>& versions() const { return m_versions; }
    // The chosen version's row (the newest when none was chosen), -1 when there is none.
    int chosenRow() const;
    void choose(int row);

  signals:
    void compareRequested(const HistoryVersion& version);
    void openRequested(const HistoryVersion& version);

  private:
    void refreshButtons();
    QList<HistoryVersion> m_versions;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_compare = nullptr;
    QPushButton* m_open = nullptr;
};
