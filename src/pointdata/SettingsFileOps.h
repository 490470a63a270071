#pragma once

#include "pointdata/PointData.h"
#include "startup/OperatorInteraction.h"

#include <QObject>
#include <QString>

// The two tables of the point-input window and its modified flag ("Change"), as the File
// menu's New, Open and Save As work on them.
struct SettingsDocument {
    PointTableData points;
    ParameterTableData parameters;
    bool modified = false;
};

// New, Open and Save As of the point-input window's settings file.
//
// Every operation works on the SettingsDocument it is given and talks to the operator only
// through OperatorInteraction. How the window uses it:
//
//   - Save As returns true when the file was written completely. It then clears the
//     modified flag and emits captionChanged() with the new window caption.
//   - New and Open return true when they replaced the tables in the document. They emit
//     tablesReplaced() right after the document holds the new tables and before the closing
//     message, so the window can load its grids from the document and refresh the displays
//     that mirror parameter values while the operator still sees the old screen.
//   - confirmDiscard() is the "Do you save data?" question with its Save As, for Exit and
//     for the initialisation of the tables: true when the caller may go on.
//
// Sound behaviour where the file could not be trusted:
//   - A file is written to a temporary file beside the target and renamed over it only when
//     everything was written, so a failed save never destroys the previous file. A target
//     whose owner write permission is cleared counts as read-only and is not overwritten.
//   - Open reads only a regular file of at most BoundedFile::SettingsFileMaxBytes (a FIFO or
//     a device such as /dev/zero is refused without waiting or filling memory) and checks
//     the whole file before it changes anything; any refusal (a file that cannot be read, a
//     wrong first field, too few records, a value that is not a plain number, a note that is
//     too long, an unsupported actuator type) leaves both tables and the flag as they were
//     and tells the operator why. An unsupported actuator type does not end the program.
//   - Save As never writes a file that Open would refuse.
//   - The caption changes only when the save completed.
class SettingsFileOps final : public QObject {
    Q_OBJECT

  public:
    explicit SettingsFileOps(OperatorInteraction& op, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(SettingsFileOps)

    static QString saveTitle() { return QStringLiteral("Save As"); }
    static QString openTitle() { return QStringLiteral("Open"); }
    static QString fileFilter() { return QStringLiteral("Setting file(*.csv)"); }
    static QString captionPrefix() { return QStringLiteral("QRX5 Support-Software"); }

    bool saveAs(SettingsDocument& doc);
    bool newFile(SettingsDocument& doc);
    bool open(SettingsDocument& doc);
    bool confirmDiscard(SettingsDocument& doc);

  signals:
    void captionChanged(const QString& caption);
    void tablesReplaced();

  private:
    void showCannotOpen();
    void showUnsupportedType();

    OperatorInteraction& m_op;
};
