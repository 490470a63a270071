#pragma once

#include "cli/CliKind.h"
#include "files/SettingsFileFlow.h"
#include "history/TablesSnapshot.h"
#include "transfers/CompareFlow.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The command-line actions of a kind whose window receives, compares and transmits two
// tables, its first table (points or zones) and its parameters, and keeps them in its
// settings file. The kind gives the window's operations and its file; the sequence, the
// questions and the exit statuses are the same for both kinds.
class TableCli : public CliKind {
  public:
    // Reads the first table, then the parameters, and writes the settings file: only a file
    // that Save As would write (SettingsFileFlow::saveRefusal), so a backup is never a file
    // that Open or --transmit refuse.
    int receive(CliSession& s, const QString& file) override;
    // Compares the controller with the file: every difference on standard output.
    int verify(CliSession& s, const QString& file) override;
    // Writes the file's first table, then its parameters, with the window's checks. What those
    // checks refuse of either table is refused before the controller is changed at all.
    int transmit(CliSession& s, const QString& file) override;

  protected:
    // One operation of the window and the message that tells it completed.
    struct Step {
        std::function<void(const OperationContext&)> run;
        QString finishedTitle;
        QString finishedText;
    };
    // An operation of the kind's window, run on the kind's tables in its own context.
    template <typename Context, typename... Tables>
    static std::function<void(const OperationContext&)> on(void (*op)(const Context&),
                                                           Tables&... tables) {
        return [op, &tables...](const OperationContext& oc) {
            Context c{oc, tables...};
            op(c);
        };
    }
    virtual QList<Step> receiveSteps() = 0;
    virtual QList<Step> transmitSteps() = 0;
    virtual CompareFlow::Result compare(const OperationContext& c) = 0;
    // "points", "zones": what the transmit says it wrote when the parameters were refused.
    virtual QString firstTableName() const = 0;
    // The kind's settings file on the kind's tables, as the window's Open and Save As use it.
    virtual SettingsFileKind& settingsFile() = 0;
    // What the window's transmits refuse before they erase anything, over the whole file: the
    // first problem, so that no table is written when a later one would be refused.
    virtual std::optional<TableProblem> unsendable() const = 0;
    // The kind's tables as the controller history records them (copies, as they stand).
    virtual TablesSnapshot historySnapshot() const = 0;
    // Answers the kind's own questions of a transmit from the session's flags.
    virtual void prepareTransmit(CliSession& s) { (void)s; }

  private:
    bool loadFile(CliSession& s, const QString& file);
    // What the controller holds after a transmit that ended in step `step` without
    // completing, as the last message says it.
    QString holdings(const CliSession& s, qsizetype step, qsizetype steps) const;
};
