#pragma once

#include "tables/GridTableModel.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

// The undo history of a main window's tables. Each step is a before and after image of every
// table the window watches, so any way a table changes (typing, the keypad, the mode dialog,
// a paste, New File, Open, a receive, an initialisation, a teaching SET) can be undone
// without knowing how it came about.
//
// What one operator action changed becomes one step:
//   - inside a Scope (an edit committed by a grid, a paste, a menu item's operation) the step
//     is recorded when the outermost scope closes, however often the event loop ran inside
//     (a receive that yields per row is one step);
//   - any other change (a panel button, a teaching SET) is recorded once the event handler
//     that made it has returned to the event loop it was started from, so a change followed
//     by a question or an exchange is still one step with what follows it.
// Putting a step back (undo, redo) changes the tables without any check and records nothing;
// it never talks to the controller.
//
// A value the controller has taken (controllerTook: size detection's parameters, an origin
// shift taught, soft limits confirmed) is no step of its own, and no undo or redo changes it
// while the controller holds it: every recorded image takes it, so a step that changed that
// cell leaves it alone from then on (its name says so: "... (parameter 33 stays as the
// controller holds it)"), and a step that changed nothing else is dropped.
//
// The modified flag of the first watched table ("Change") follows the saved tables: the
// tables as they stood when an action left the flag cleared (Save As, New File) or when an
// Open left it clear (markOpened()). Undo and redo clear the flag on tables equal to the
// saved ones and set it on any others; a value the controller took that makes the tables
// differ from the saved ones sets it too. Undo and redo are refused while a scope is open
// (an operation runs) and while the first table is locked (Operation mode).
class TableHistory final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TableHistory)

  public:
    explicit TableHistory(QObject* parent = nullptr);
    ~TableHistory() override;

    // A table of the window; the first one carries the modified flag and the lock.
    void watch(GridTableModel* model);
    // Called after a step was put back: the displays that mirror table values.
    void setRefresh(std::function<void()> refresh) { m_refresh = std::move(refresh); }

    // Starts recording from the tables as they stand now, with no step to undo.
    void start();
    bool started() const { return m_started; }

    // Records what changed since the last step, if anything did (not while a scope is open).
    void settle();

    bool canUndo() const;
    bool canRedo() const;
    // The names of the steps undo and redo would put back: "typing in point 3".
    QString undoText() const;
    QString redoText() const;
    // Steps that can be undone (a change not yet recorded counts as one).
    int undoSteps() const;
    void undo();
    void redo();
    // True while a scope is open.
    bool busy() const { return m_hold > 0; }
    // The action under way opened a file: if it changes the tables and leaves the flag clear,
    // its tables are the saved ones.
    void markOpened() { m_opened = true; }

    // One operator action. name is the step's name, "%1" standing for the rows it changed
    // ("typing in %1" gives "typing in point 3"). Scopes nest; the outermost one names the
    // step. A null history makes the scope do nothing.
    class Scope {
      public:
        Scope(TableHistory* history, const QString& name);
        ~Scope();
        Q_DISABLE_COPY_MOVE(Scope)

      private:
        QPointer<TableHistory> m_history;
    };

    // The rows that differ between two images of a table, named as the step names them:
    // "point 3", "points 3 to 5", "parameters 1, 2 and 35", "64 points".
    static QString rowsText(const GridTableModel& model, const GridTableModel::TableImage& before,
                            const GridTableModel::TableImage& after);
    // The same for rows given by their indices.
    static QString rowsText(const GridTableModel& model, const QList<int>& rows);

  signals:
    // Undo or redo became possible or impossible, or their names changed.
    void changed();

  private:
    using Snapshot = QList<GridTableModel::TableImage>;
    struct Step {
        QString name;
        Snapshot before;
        Snapshot after;
        QList<std::pair<qsizetype, int>> kept; // (table, row) cells left as the controller holds
    };

    Snapshot capture() const;
    void apply(const Snapshot& snapshot);
    void setFlagFromSaved();
    bool differsFromSaved() const;
    void begin(const QString& name);
    void end();
    void noticeChange();
    void flagChanged(bool modified);
    void settleWhenBack();
    void record();
    void push(Step step);
    // The controller took field `field` of row `row` of table `table`.
    void controllerTook(qsizetype table, int row, int field);
    QString stepName(const Snapshot& before, const Snapshot& after) const;
    QString shownName(const Step& step) const;
    GridTableModel* flagTable() const;

    QList<Step> m_steps;
    qsizetype m_done = 0; // the steps before this index are done, the others undone
    QList<QPointer<GridTableModel>> m_models;
    std::function<void()> m_refresh;
    Snapshot m_committed;            // the tables as the last step left them
    std::optional<Snapshot> m_saved; // the tables of the last file saved (or opened)
    QString m_scopeName;
    int m_hold = 0;
    int m_level = 0; // the event loop level at which the pending change was made
    bool m_started = false;
    bool m_pending = false;
    bool m_applying = false;
    bool m_flagCleared = false; // the action under way cleared the flag
    bool m_opened = false;      // the action under way opened a file
};
