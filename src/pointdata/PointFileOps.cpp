#include "pointdata/PointFileOps.h"

#include "files/SettingsFileFlow.h"
#include "pointdata/PointParameters.h"
#include "pointdata/SettingsFile.h"

namespace {

// The point-input file on one document, for the shared sequences.
class PointFile final : public SettingsFileKind {
  public:
    PointFile(SettingsDocument& doc, PointFileOps& ops) : m_doc(doc), m_ops(ops) {}

    QString captionPrefix() const override { return PointFileOps::captionPrefix(); }
    void setCaption(const QString& caption) override { emit m_ops.captionChanged(caption); }
    bool modified() const override { return m_doc.modified; }
    void setModified(bool modified) override { m_doc.modified = modified; }
    QByteArray fileBytes() const override {
        return SettingsFile::write(m_doc.points, m_doc.parameters, m_doc.encoding);
    }
    SettingsFileError checkFile(const QByteArray& bytes) override {
        m_read = SettingsFile::read(bytes);
        return m_read.error;
    }
    void takeFile() override {
        m_doc.points = std::move(m_read.points);
        m_doc.parameters = std::move(m_read.parameters);
        m_doc.encoding = m_read.encoding;
        emit m_ops.tablesReplaced();
    }
    QString actuatorType() const override { return m_doc.parameters[0].setting; }
    void resetTables() override {
        m_doc.points = PointTableData{};
        m_doc.parameters = PointParameters::initialTable(actuatorType());
        m_doc.modified = false;
        m_doc.encoding = CsvRecords::Encoding::Utf8;
        emit m_ops.tablesReplaced();
    }
    const ReadRefusal& refusal() const override { return m_read; }

  private:
    SettingsDocument& m_doc;
    PointFileOps& m_ops;
    SettingsFile::ReadResult m_read;
};

} // namespace

PointFileOps::PointFileOps(OperatorInteraction& op, QObject* parent) : QObject(parent), m_op(op) {}

bool PointFileOps::confirmDiscard(SettingsDocument& doc) {
    PointFile file(doc, *this);
    return SettingsFileFlow::confirmDiscard(m_op, file);
}

bool PointFileOps::saveAs(SettingsDocument& doc) {
    PointFile file(doc, *this);
    return SettingsFileFlow::saveAs(m_op, file);
}

bool PointFileOps::newFile(SettingsDocument& doc) {
    PointFile file(doc, *this);
    return SettingsFileFlow::newFile(m_op, file);
}

bool PointFileOps::open(SettingsDocument& doc) {
    PointFile file(doc, *this);
    return SettingsFileFlow::open(m_op, file);
}
