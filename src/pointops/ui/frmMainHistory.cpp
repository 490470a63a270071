// The point-input window's side of the controller history: its two tables.
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointFileOps.h"
#include "pointdata/PointHistory.h"
#include "pointdata/PointTableModel.h"
#include "pointops/ui/frmMain.h"

TablesSnapshot frmMain::historySnapshot() const {
    return PointHistory::snapshot(m_pointModel->table(), m_paramModel->table(), m_file->fileForm());
}

void frmMain::compareWithVersion(const QByteArray& bytes) {
    PointHistory::compare(m_op, bytes, m_pointModel->table(), m_paramModel->table(),
                          [this](const QList<Difference>& found) { cellMarks().set(found); });
}

SettingsFileKind& frmMain::settingsFileKind() {
    return *m_file;
}
