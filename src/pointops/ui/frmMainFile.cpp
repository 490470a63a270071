// The File menu of the point-input main window: New, Open, Compare with file, Save As, Print
// and Exit.
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointFileCompare.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/PrintOps.h"
#include "pointdata/SettingsFile.h"
#include "pointops/ui/frmMain.h"
#include "transfers/CompareFlow.h"

SettingsDocument frmMain::document() const {
    return {m_pointModel->table(), m_paramModel->table(), m_pointModel->modified()};
}

void frmMain::loadDocument(const SettingsDocument& doc) {
    m_paramModel->setReceiving(true);
    m_pointModel->setTable(doc.points);
    m_paramModel->setTable(doc.parameters);
    m_paramModel->setReceiving(false);
    RefreshDependentDisplays();
}

template <typename Op> bool frmMain::runFileOperation(Op op) {
    SettingsDocument doc = document();
    m_runningDoc = &doc;
    const bool done = op(doc);
    m_runningDoc = nullptr;
    m_pointModel->setModified(doc.modified);
    return done;
}

bool frmMain::SaveAs() {
    return runFileOperation([this](SettingsDocument& d) { return m_fileOps.saveAs(d); });
}

void frmMain::NewFile() {
    runFileOperation([this](SettingsDocument& d) { return m_fileOps.newFile(d); });
}

void frmMain::OpenFile() {
    runFileOperation([this](SettingsDocument& d) { return m_fileOps.open(d); });
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
    return runFileOperation([this](SettingsDocument& d) { return m_fileOps.confirmDiscard(d); });
}
