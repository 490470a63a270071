// The File menu of the point-input main window: New, Open, Compare with file, Save As, Print
// and Exit.
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointFileCompare.h"
#include "pointdata/PointFileOps.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/PrintOps.h"
#include "pointdata/SettingsFile.h"
#include "pointops/ui/frmMain.h"
#include "transfers/CompareFlow.h"

bool frmMain::SaveAs() {
    return SettingsFileFlow::saveAs(m_op, *m_file);
}

void frmMain::NewFile() {
    SettingsFileFlow::newFile(m_op, *m_file);
}

void frmMain::OpenFile() {
    SettingsFileFlow::open(m_op, *m_file);
}

void frmMain::CompareWithFile() {
    SettingsFile::ReadResult file;
    CompareFlow::compareWithFile(
        m_op,
        [&file](const QByteArray& bytes) -> const SettingsFileFlow::ReadHead& {
            file = SettingsFile::read(bytes);
            return file;
        },
        [&] {
            return PointFileCompare::findings(m_pointModel->table(), m_paramModel->table(),
                                              file.points, file.parameters);
        },
        [this](const QList<Difference>& found) { cellMarks().set(found); });
}

void frmMain::PrintLists() {
    // A failed print reports itself; the window stays usable either way.
    PrintOps::print(m_op, m_pointModel->table(), m_paramModel->table());
    restoreWindow();
}

void frmMain::clearModified() {
    m_pointModel->setModified(false);
}

bool frmMain::confirmDiscard() {
    return SettingsFileFlow::confirmDiscard(m_op, *m_file);
}
