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

QByteArray PulseFileOps::fileBytes() const {
    return PulseSettingsFile::write(m_zones.table(), m_parameters.table(), m_encoding);
}

SettingsFileError PulseFileOps::checkFile(const QByteArray& bytes) {
    m_read = PulseSettingsFile::read(bytes);
    return m_read.error;
}

void PulseFileOps::takeFile() {
    m_encoding = m_read.encoding;
    replace(m_read.zones, m_read.parameters);
}

QString PulseFileOps::actuatorType() const {
    return m_parameters.actuatorType();
}

void PulseFileOps::resetTables() {
    m_zones.setModified(false);
    m_encoding = CsvRecords::Encoding::Utf8;
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
