#pragma once

#include "transfers/Operation.h"

#include <QList>
#include <QString>
#include <optional>

// What one operation of a window, or one action of the command line, left the controller
// holding: the transfers that finished, told by the operations to their host
// (OperationHost::transferFinished), and whether a write block ended part-way. Outside
// begin() and end() it takes nothing: a drive panel's parameter write is no table transfer.
class TransferRecorder final {
  public:
    void begin();
    void finished(const FinishedTransfer& transfer);
    void blockChanged(const BlockProgress& block);

    struct Outcome {
        QList<FinishedTransfer> finished;
        // Why the history was not updated for a table: a write block that changed the
        // controller (erased it or wrote a line) and did not end. Empty otherwise.
        QString notRecorded;
    };
    Outcome end();

  private:
    bool m_on = false;
    QList<FinishedTransfer> m_finished;
    std::optional<BlockProgress> m_partWay;
};
