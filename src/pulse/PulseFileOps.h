#pragma once

#include "files/SettingsFileFlow.h"
#include "pulse/PulseSettingsFile.h"

#include <QObject>

class PulseParameterModel;
class ZoneTableModel;

// The pulse-train window's settings file for the shared New, Open and Save As sequences of
// SettingsFileFlow (atomic save, bounded read, the whole file checked before anything
// changes, an unsupported actuator type refused without ending the program), on the zone and
// parameter tables. The modified flag is the zone table's.
//
//   - A completed Save As emits captionChanged() with "QRX Support-Software" directly
//     followed by the path.
//   - New and Open emit tablesReplaced() right after the tables were replaced, before the
//     closing message, so the window refreshes its origin shift display. New empties the
//     zones, resets both parameter columns to the current type's defaults and clears the
//     flag; Open leaves the flag as it was.
class PulseFileOps final : public QObject, public SettingsFileKind {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PulseFileOps)

  public:
    PulseFileOps(ZoneTableModel& zones, PulseParameterModel& parameters, QObject* parent = nullptr);

    QString captionPrefix() const override { return QStringLiteral("QRX Support-Software"); }
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
    void replace(const ZoneTableData& zones, const PulseParameterData& parameters);

    ZoneTableModel& m_zones;
    PulseParameterModel& m_parameters;
    PulseSettingsFile::ReadResult m_read;
};
