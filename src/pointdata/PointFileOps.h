#pragma once

#include "files/CsvRecords.h"
#include "operator/OperatorInteraction.h"
#include "pointdata/PointData.h"

#include <QObject>
#include <QString>

// The two tables of the point-input window and its modified flag ("Change"), as the File
// menu's New, Open and Save As work on them.
struct SettingsDocument {
    PointTableData points;
    ParameterTableData parameters;
    bool modified = false;
    // The encoding of the file the tables were opened from, which Save As writes back; UTF-8
    // for tables that did not come from a file.
    CsvRecords::Encoding encoding = CsvRecords::Encoding::Utf8;
};

// New, Open and Save As of the point-input window's settings file: the shared sequences of
// SettingsFileFlow (atomic save; Open reads only a regular file within the settings file cap
// and checks the whole file, plain numbers and note lengths included, before anything
// changes; Save As never writes a file that Open would refuse) on the point and parameter
// tables.
//
// Every operation works on the SettingsDocument it is given. How the window uses it:
//
//   - Save As returns true when the file was written completely. It then clears the
//     modified flag and emits captionChanged() with the new window caption.
//   - New and Open return true when they replaced the tables in the document. They emit
//     tablesReplaced() right after the document holds the new tables and before the closing
//     message, so the window can load its grids from the document and refresh the displays
//     that mirror parameter values while the operator still sees the old screen.
//   - confirmDiscard() is the "Do you save data?" question with its Save As, for Exit and
//     for the initialisation of the tables: true when the caller may go on.
class PointFileOps final : public QObject {
    Q_OBJECT

  public:
    explicit PointFileOps(OperatorInteraction& op, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(PointFileOps)

    static QString captionPrefix() { return QStringLiteral("QRX5 Support-Software"); }

    bool saveAs(SettingsDocument& doc);
    bool newFile(SettingsDocument& doc);
    bool open(SettingsDocument& doc);
    bool confirmDiscard(SettingsDocument& doc);

  signals:
    void captionChanged(const QString& caption);
    void tablesReplaced();

  private:
    OperatorInteraction& m_op;
};
