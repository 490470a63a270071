#include "window/ui/TableHistory.h"

#include <QAbstractEventDispatcher>
#include <QThread>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>
#include <algorithm>

namespace {
// Steps kept; older ones are dropped. Each holds two images of a few hundred short texts.
constexpr int StepLimit = 200;
// How many row numbers a step name lists before it only counts them.
constexpr int NamedRows = 3;

int loopLevel() {
    return QThread::currentThread()->loopLevel();
}
} // namespace

// One step: the images before and after it. Pushing it changes nothing (the tables already
// are as it left them); undo and redo put an image back.
class TableHistory::Step final : public QUndoCommand {
  public:
    Step(TableHistory& history, Snapshot before, Snapshot after, const QString& name)
        : QUndoCommand(name), m_history(history), m_before(std::move(before)),
          m_after(std::move(after)) {}
    void undo() override { m_history.apply(m_before); }
    void redo() override {
        if (m_pushed)
            m_history.apply(m_after);
        m_pushed = true;
    }

  private:
    TableHistory& m_history;
    Snapshot m_before;
    Snapshot m_after;
    bool m_pushed = false;
};

TableHistory::TableHistory(QObject* parent) : QObject(parent), m_stack(new QUndoStack) {
    m_stack->setUndoLimit(StepLimit);
    // The event loop is about to wait: a handler that changed a table has returned, unless a
    // nested loop (a dialog, an exchange) it started is the one waiting.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &TableHistory::settleWhenBack);
    for (auto signal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
        connect(m_stack.get(), signal, this, &TableHistory::changed);
    for (auto signal : {&QUndoStack::undoTextChanged, &QUndoStack::redoTextChanged})
        connect(m_stack.get(), signal, this, &TableHistory::changed);
}

TableHistory::~TableHistory() {
    // Emptying the stack on the way out tells no one.
    m_stack->disconnect(this);
}

void TableHistory::watch(GridTableModel* model) {
    if (!model || m_models.contains(model))
        return;
    m_models.append(model);
    connect(model, &QAbstractItemModel::dataChanged, this, &TableHistory::noticeChange);
    connect(model, &QAbstractItemModel::modelReset, this, &TableHistory::noticeChange);
    connect(model, &GridTableModel::modifiedChanged, this, &TableHistory::noticeChange);
    if (m_started)
        m_committed = capture();
}

GridTableModel* TableHistory::flagTable() const {
    return m_models.isEmpty() ? nullptr : m_models.constFirst().data();
}

TableHistory::Snapshot TableHistory::capture() const {
    Snapshot out;
    out.reserve(m_models.size());
    for (const auto& model : m_models)
        out.append(model ? model->image() : GridTableModel::TableImage());
    return out;
}

void TableHistory::start() {
    m_stack->clear();
    m_committed = capture();
    m_pending = false;
    m_started = true;
    // Tables that open already changed have no saved state to come back to.
    if (GridTableModel* flag = flagTable(); flag && flag->modified())
        m_stack->resetClean();
    emit changed();
}

void TableHistory::noticeChange() {
    if (!m_started || m_applying)
        return;
    emit changed(); // the lock may have changed with the cells
    if (m_hold > 0)
        return; // the scope records when it closes
    if (m_pending) {
        m_level = std::min(m_level, loopLevel());
        return;
    }
    m_pending = true;
    m_level = loopLevel();
    QTimer::singleShot(0, this, &TableHistory::settleWhenBack);
}

void TableHistory::settleWhenBack() {
    // Still inside a dialog or an exchange that the changing handler started: wait for it.
    if (m_pending && m_hold == 0 && loopLevel() <= m_level)
        record();
}

void TableHistory::settle() {
    if (m_started && m_hold == 0)
        record();
}

void TableHistory::record() {
    m_pending = false;
    if (!m_started || m_applying)
        return;
    const Snapshot now = capture();
    if (now != m_committed) {
        m_stack->push(new Step(*this, m_committed, now, stepName(m_committed, now)));
        m_committed = now;
    }
    // The action left the flag clear: this is the saved state.
    if (GridTableModel* flag = flagTable(); flag && !flag->modified())
        m_stack->setClean();
    m_scopeName.clear();
    emit changed();
}

void TableHistory::begin(const QString& name) {
    if (m_hold++ == 0) {
        // What changed before this action is a step of its own.
        m_hold = 0;
        settle();
        m_hold = 1;
        m_scopeName = name;
        emit changed();
    }
}

void TableHistory::end() {
    if (m_hold <= 0 || --m_hold > 0)
        return;
    record();
}

void TableHistory::apply(const Snapshot& snapshot) {
    m_applying = true;
    for (qsizetype k = 0; k < m_models.size() && k < snapshot.size(); ++k)
        if (m_models[k])
            m_models[k]->restoreImage(snapshot[k]);
    m_applying = false;
    m_committed = capture();
    m_pending = false;
    if (m_refresh)
        m_refresh();
}

void TableHistory::setFlagFromStack() {
    if (GridTableModel* flag = flagTable()) {
        m_applying = true;
        flag->setModified(!m_stack->isClean());
        m_applying = false;
    }
    emit changed();
}

bool TableHistory::canUndo() const {
    const GridTableModel* flag = flagTable();
    return m_started && m_hold == 0 && !(flag && flag->locked()) &&
           (m_pending || m_stack->canUndo());
}

bool TableHistory::canRedo() const {
    const GridTableModel* flag = flagTable();
    return m_started && m_hold == 0 && !(flag && flag->locked()) && !m_pending &&
           m_stack->canRedo();
}

QString TableHistory::undoText() const {
    return m_pending ? stepName(m_committed, capture()) : m_stack->undoText();
}

QString TableHistory::redoText() const {
    return m_pending ? QString() : m_stack->redoText();
}

int TableHistory::undoSteps() const {
    return m_stack->index() + (m_pending && capture() != m_committed ? 1 : 0);
}

void TableHistory::undo() {
    settle();
    if (!canUndo())
        return;
    m_stack->undo();
    setFlagFromStack();
}

void TableHistory::redo() {
    settle();
    if (!canRedo())
        return;
    m_stack->redo();
    setFlagFromStack();
}

QString TableHistory::rowsText(const GridTableModel& model,
                               const GridTableModel::TableImage& before,
                               const GridTableModel::TableImage& after) {
    QStringList numbers;
    bool consecutive = true;
    int previous = 0;
    for (int row = 0; row < model.rowCount(); ++row) {
        if (before.value(row) == after.value(row))
            continue;
        const QString number = model.rowNumber(row);
        if (!numbers.isEmpty() && number.toInt() != previous + 1)
            consecutive = false;
        previous = number.toInt();
        numbers << number;
    }
    const QString item = model.rowItem();
    const QString items = item + QLatin1Char('s');
    switch (numbers.size()) {
    case 0:
        return {};
    case 1:
        return item + QLatin1Char(' ') + numbers.front();
    default:
        break;
    }
    if (consecutive && numbers.size() > 2)
        return QStringLiteral("%1 %2 to %3").arg(items, numbers.front(), numbers.back());
    if (numbers.size() <= NamedRows) {
        const QString last = numbers.takeLast();
        return QStringLiteral("%1 %2 and %3").arg(items, numbers.join(QLatin1String(", ")), last);
    }
    return QStringLiteral("%1 %2").arg(numbers.size()).arg(items);
}

QString TableHistory::stepName(const Snapshot& before, const Snapshot& after) const {
    QStringList parts;
    for (qsizetype k = 0; k < m_models.size(); ++k) {
        if (!m_models[k])
            continue;
        const QString rows = rowsText(*m_models[k], before.value(k), after.value(k));
        if (!rows.isEmpty())
            parts << rows;
    }
    const QString rows = parts.join(QLatin1String(" and "));
    const QString name = m_scopeName.isEmpty() ? QStringLiteral("change of %1") : m_scopeName;
    return name.contains(QLatin1String("%1")) ? name.arg(rows) : name;
}

TableHistory::Scope::Scope(TableHistory* history, const QString& name) : m_history(history) {
    if (m_history)
        m_history->begin(name);
}

TableHistory::Scope::~Scope() {
    if (m_history)
        m_history->end();
}
