#include "pulse/PulseFileOps.h"

#include "pulse/PulseParameterModel.h"
#include "pulse/PulseParameters.h"
#include "pulse/ZoneTableModel.h"

PulseFileOps::PulseFileOps(ZoneTableModel& zones, PulseParameterModel& parameters, QObject* parent)
    : QObject(parent), m_zones(zones), m_parameters(parameters) {}

bool PulseFileOps::modified() const {
    return m_zones.modified();
}

void PulseFileOps::setModified(bool modified) {
    m_zones.setModified(modified);
}

QString PulseFileOps::fileText(bool bareNotes) const {
    return PulseSettingsFile::text(m_zones.table(), m_parameters.table(), bareNotes);
}

const SettingsFileFlow::ReadHead& PulseFileOps::checkFile(const QByteArray& bytes) {
    m_read = PulseSettingsFile::read(bytes);
    return m_read;
}

void PulseFileOps::takeFile() {
    replace(m_read.zones, m_read.parameters);
}

QString PulseFileOps::actuatorType() const {
    return m_parameters.actuatorType();
}

void PulseFileOps::resetTables() {
    m_zones.setModified(false);
    replace({}, PulseParameters::initialTable(actuatorType()));
}

void PulseFileOps::replace(const ZoneTableData& zones, const PulseParameterData& parameters) {
    // A program write: no zone check, no parameter check.
    m_zones.setBulkWrite(ZoneTableModel::BulkWrite::InitOrNew);
    m_zones.setTable(zones);
    m_zones.setBulkWrite(ZoneTableModel::BulkWrite::None);
    m_parameters.setTable(parameters);
    emit tablesReplaced();
}
