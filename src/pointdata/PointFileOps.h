#pragma once

#include "files/SettingsFileFlow.h"
#include "pointdata/SettingsFile.h"

#include <QObject>

class ParameterTableModel;
class PointTableModel;

// The point-input window's settings file for the shared New, Open and Save As sequences of
// SettingsFileFlow (atomic save, bounded read, the whole file checked before anything
// changes, an unsupported actuator type refused without ending the program, the file written
// back in the form it was read in), on the point and parameter tables. The modified flag is
// the point table's.
//
//   - A completed Save As emits captionChanged() with "QRX5 Support-Software" directly
//     followed by the path.
//   - New and Open emit tablesReplaced() right after the tables were replaced, before the
//     closing message, so the window refreshes the displays that mirror parameter values
//     while the operator still sees the old screen. New empties the points, resets the
//     parameters to the current type's defaults and clears the flag; Open leaves the flag as
//     it was.
class PointFileOps final : public QObject, public SettingsFileKind {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PointFileOps)

  public:
    PointFileOps(PointTableModel& points, ParameterTableModel& parameters,
                 QObject* parent = nullptr);

    QString captionPrefix() const override { return QStringLiteral("QRX5 Support-Software"); }
    void setCaption(const QString& caption) override { emit captionChanged(caption); }
    bool modified() const override;
    void setModified(bool modified) override;
    QString fileText(bool bareNotes) const override;
    const SettingsFileFlow::ReadHead& checkFile(const QByteArray& bytes) override;
    void takeFile() override;
    QString actuatorType() const override;
    void resetTables() override;

  signals:
    void captionChanged(const QString& caption);
    void tablesReplaced();

  private:
    void replace(const PointTableData& points, const ParameterTableData& parameters);

    PointTableModel& m_points;
    ParameterTableModel& m_parameters;
    SettingsFile::ReadResult m_read;
};
