#include "pointdata/PointFileOps.h"

#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointTableModel.h"

PointFileOps::PointFileOps(PointTableModel& points, ParameterTableModel& parameters,
                           QObject* parent)
    : QObject(parent), m_points(points), m_parameters(parameters) {}

bool PointFileOps::modified() const {
    return m_points.modified();
}

void PointFileOps::setModified(bool modified) {
    m_points.setModified(modified);
}

QString PointFileOps::fileText(bool bareNotes) const {
    return SettingsFile::text(m_points.table(), m_parameters.table(), bareNotes);
}

const SettingsFileFlow::ReadHead& PointFileOps::checkFile(const QByteArray& bytes) {
    m_read = SettingsFile::read(bytes);
    return m_read;
}

void PointFileOps::takeFile() {
    replace(m_read.points, m_read.parameters);
}

QString PointFileOps::actuatorType() const {
    return m_parameters.actuatorType();
}

void PointFileOps::resetTables() {
    m_points.setModified(false);
    replace({}, PointParameters::initialTable(actuatorType()));
}

void PointFileOps::replace(const PointTableData& points, const ParameterTableData& parameters) {
    // A program write: neither table runs its edit check.
    m_points.setTable(points);
    m_parameters.setTable(parameters);
    emit tablesReplaced();
}
