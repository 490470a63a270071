// The pulse-train window's side of the controller history: its two tables.
#include "pulse/PulseFileOps.h"
#include "pulse/PulseHistory.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/frmpulseMaindemo.h"

TablesSnapshot frmpulseMaindemo::historySnapshot() const {
    return PulseHistory::snapshot(m_zoneModel->table(), m_paramModel->table(), m_file->fileForm());
}

void frmpulseMaindemo::compareWithVersion(const QByteArray& bytes) {
    PulseHistory::compare(m_op, bytes, m_zoneModel->table(), m_paramModel->table(),
                          [this](const QList<Difference>& found) { cellMarks().set(found); });
}

SettingsFileKind& frmpulseMaindemo::settingsFileKind() {
    return *m_file;
}
