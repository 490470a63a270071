#include "window/ui/TableHistory.h"

#include <QAbstractEventDispatcher>
#include <QThread>
#include <QTimer>
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

TableHistory::TableHistory(QObject* parent) : QObject(parent) {
    // The event loop is about to wait: a handler that changed a table has returned, unless a
    // nested loop (a dialog, an exchange) it started is the one waiting.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &TableHistory::settleWhenBack);
}

TableHistory::~TableHistory() = default;

void TableHistory::watch(GridTableModel* model) {
    if (!model || m_models.contains(model))
        return;
    const qsizetype table = m_models.size();
    m_models.append(model);
    connect(model, &QAbstractItemModel::dataChanged, this, &TableHistory::noticeChange);
    connect(model, &QAbstractItemModel::modelReset, this, &TableHistory::noticeChange);
    connect(model, &GridTableModel::modifiedChanged, this, &TableHistory::noticeChange);
    if (table == 0)
        connect(model, &GridTableModel::modifiedChanged, this, &TableHistory::flagChanged);
    connect(model, &GridTableModel::controllerTook, this,
            [this, table](int row, int field) { controllerTook(table, row, field); });
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
    m_steps.clear();
    m_done = 0;
    m_committed = capture();
    m_pending = false;
    m_flagCleared = m_opened = false;
    m_started = true;
    // Tables that open already changed have no saved state to come back to.
    const GridTableModel* flag = flagTable();
    m_saved = flag && flag->modified() ? std::nullopt : std::optional<Snapshot>(m_committed);
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

void TableHistory::flagChanged(bool modified) {
    if (modified || !m_started || m_applying)
        return;
    // Saved now (a Save As inside another action), or about to be (New File empties the
    // tables after clearing the flag): taken again when the action is recorded.
    m_saved = capture();
    m_flagCleared = true;
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
    const bool changedTables = now != m_committed;
    if (changedTables) {
        push({stepName(m_committed, now), m_committed, now, {}});
        m_committed = now;
    }
    // The action left the flag cleared, or opened a file without a change to keep: these are
    // the saved tables.
    if (const GridTableModel* flag = flagTable();
        flag && !flag->modified() && (m_flagCleared || (m_opened && changedTables)))
        m_saved = now;
    m_flagCleared = m_opened = false;
    m_scopeName.clear();
    emit changed();
}

void TableHistory::push(Step step) {
    // New work drops the steps that were undone.
    m_steps.resize(m_done);
    m_steps.append(std::move(step));
    if (m_steps.size() > StepLimit)
        m_steps.removeFirst();
    m_done = m_steps.size();
}

void TableHistory::controllerTook(qsizetype table, int row, int field) {
    if (!m_started || m_applying || table >= m_models.size() || !m_models[table])
        return;
    const QString value = m_models[table]->image().value(row).value(field);
    const auto cell = [&](Snapshot& s) -> QString* {
        if (table >= s.size() || row >= s[table].size() || field >= s[table][row].size())
            return nullptr;
        return &s[table][row][field];
    };
    // No step changes the cell any more: it stays as the controller holds it.
    if (QString* c = cell(m_committed))
        *c = value;
    for (Step& step : m_steps) {
        QString* before = cell(step.before);
        QString* after = cell(step.after);
        if (!before || !after)
            continue;
        const std::pair<qsizetype, int> at{table, row};
        if (*before != *after && !step.kept.contains(at))
            step.kept.append(at);
        *before = *after = value;
    }
    // A step that changed nothing else has nothing left to put back.
    for (qsizetype k = m_steps.size() - 1; k >= 0; --k) {
        if (m_steps[k].before != m_steps[k].after)
            continue;
        m_steps.removeAt(k);
        if (k < m_done)
            --m_done;
    }
    // The tables no longer are those saved: the flag says so.
    if (GridTableModel* flag = flagTable(); flag && differsFromSaved())
        flag->setModified(true);
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

bool TableHistory::differsFromSaved() const {
    return !m_saved || capture() != *m_saved;
}

void TableHistory::setFlagFromSaved() {
    if (GridTableModel* flag = flagTable()) {
        m_applying = true;
        flag->setModified(differsFromSaved());
        m_applying = false;
    }
    emit changed();
}

bool TableHistory::canUndo() const {
    const GridTableModel* flag = flagTable();
    return m_started && m_hold == 0 && !(flag && flag->locked()) && (m_pending || m_done > 0);
}

bool TableHistory::canRedo() const {
    const GridTableModel* flag = flagTable();
    return m_started && m_hold == 0 && !(flag && flag->locked()) && !m_pending &&
           m_done < m_steps.size();
}

QString TableHistory::undoText() const {
    if (m_pending)
        return stepName(m_committed, capture());
    return m_done > 0 ? shownName(m_steps[m_done - 1]) : QString();
}

QString TableHistory::redoText() const {
    return !m_pending && m_done < m_steps.size() ? shownName(m_steps[m_done]) : QString();
}

int TableHistory::undoSteps() const {
    return int(m_done) + (m_pending && capture() != m_committed ? 1 : 0);
}

void TableHistory::undo() {
    settle();
    if (!canUndo())
        return;
    apply(m_steps[--m_done].before);
    setFlagFromSaved();
}

void TableHistory::redo() {
    settle();
    if (!canRedo())
        return;
    apply(m_steps[m_done++].after);
    setFlagFromSaved();
}

QString TableHistory::rowsText(const GridTableModel& model,
                               const GridTableModel::TableImage& before,
                               const GridTableModel::TableImage& after) {
    QList<int> rows;
    for (int row = 0; row < model.rowCount(); ++row)
        if (before.value(row) != after.value(row))
            rows << row;
    return rowsText(model, rows);
}

QString TableHistory::rowsText(const GridTableModel& model, const QList<int>& rows) {
    QStringList numbers;
    bool consecutive = true;
    int previous = 0;
    for (const int row : rows) {
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

QString TableHistory::shownName(const Step& step) const {
    if (step.kept.isEmpty())
        return step.name;
    QStringList parts;
    int count = 0;
    for (qsizetype k = 0; k < m_models.size(); ++k) {
        QList<int> rows;
        for (const auto& [table, row] : step.kept)
            if (table == k)
                rows << row;
        std::sort(rows.begin(), rows.end());
        if (!m_models[k] || rows.isEmpty())
            continue;
        parts << rowsText(*m_models[k], rows);
        count += int(rows.size());
    }
    return step.name + QStringLiteral(" (%1 %2 as the controller holds %3)")
                           .arg(parts.join(QLatin1String(" and ")),
                                count == 1 ? QLatin1String("stays") : QLatin1String("stay"),
                                count == 1 ? QLatin1String("it") : QLatin1String("them"));
}

TableHistory::Scope::Scope(TableHistory* history, const QString& name) : m_history(history) {
    if (m_history)
        m_history->begin(name);
}

TableHistory::Scope::~Scope() {
    if (m_history)
        m_history->end();
}
