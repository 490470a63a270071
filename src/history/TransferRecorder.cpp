#include "history/TransferRecorder.h"

void TransferRecorder::begin() {
    m_on = true;
    m_finished.clear();
    m_partWay.reset();
}

void TransferRecorder::finished(const FinishedTransfer& transfer) {
    if (m_on)
        m_finished.append(transfer);
}

void TransferRecorder::blockChanged(const BlockProgress& block) {
    if (!m_on || block.running)
        return;
    // A block that ended: only one that changed the controller without completing leaves it
    // holding what no file says.
    if (!block.ended && (block.eraseSent || block.written > 0))
        m_partWay = block;
    else if (block.ended)
        m_partWay.reset();
}

TransferRecorder::Outcome TransferRecorder::end() {
    Outcome out{m_finished, {}};
    if (m_partWay) {
        const BlockProgress& b = *m_partWay;
        const QString records = b.records.isEmpty() ? QStringLiteral("table") : b.records;
        const QString what =
            b.written > 0 ? QStringLiteral("the %1 were written only in part (%2 of %3)")
                                .arg(records)
                                .arg(b.written)
                                .arg(b.total > 0 ? QString::number(b.total) : QStringLiteral("?"))
            : b.erased ? QStringLiteral("the controller's %1 were erased and not written again")
                             .arg(records)
                       : QStringLiteral("the controller's %1 may have been erased").arg(records);
        out.notRecorded = QStringLiteral("The history was not updated: %1, so what the "
                                         "controller holds is not known.")
                              .arg(what);
    }
    m_on = false;
    m_finished.clear();
    m_partWay.reset();
    return out;
}
