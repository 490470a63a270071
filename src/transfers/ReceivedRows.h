#pragma once

#include "tables/GridTableModel.h"
#include "transfers/Operation.h"

#include <QString>
#include <optional>
#include <tuple>

// A kind's first table (points or zones) as a whole-table read fills it: its read command,
// its rows, and the rule that takes row n out of the read reply. Receive(Points),
// Receive(Zones) and the start-up read take rows through it.
class ReceivedRows {
  public:
    virtual ~ReceivedRows() = default;
    virtual int readCode() const = 0;
    virtual int lastRow() const = 0;
    // Empties every row (notes included).
    virtual void clear() = 0;
    // Row n from the reply; a reply that lists no row n leaves it as it is.
    virtual void take(const QString& reply, int n) = 0;
    // The model that carries the table's modified flag.
    virtual GridTableModel& model() = 0;
};

// The rows of a table model whose table() is a fixed-size array of records, read by a
// function that gives row n of a reply (or none).
template <typename Model, typename Record> class TableRows final : public ReceivedRows {
  public:
    using Reader = std::optional<Record> (*)(const QString& reply, int n);
    TableRows(Model& model, int readCode, Reader read)
        : m_model(model), m_code(readCode), m_read(read) {}

    int readCode() const override { return m_code; }
    int lastRow() const override { return int(std::tuple_size_v<decltype(m_model.table())>) - 1; }
    void clear() override { m_model.setTable({}); }
    void take(const QString& reply, int n) override {
        if (const std::optional<Record> record = m_read(reply, n)) {
            auto table = m_model.table();
            table[size_t(n)] = *record;
            m_model.setTable(table);
        }
    }
    GridTableModel& model() override { return m_model; }

  private:
    Model& m_model;
    int m_code;
    Reader m_read;
};

namespace Ops {

// Receive of a kind's first table (Receive(Points), Receive(Zones)), titled title: the
// question, the read with the progress from 0 to the last row (Ops::readTable), then
// every row emptied and taken from the reply one progress step each. The modified flag is set
// whenever a reply was taken, also after a cancel; "Receiving has finished." titled
// finishedTitle follows unless cancelled. A time-out or an "NG" reply leaves the table as it
// was.
void receiveRows(const OperationContext& base, ReceivedRows& rows, const QString& title,
                 const QString& question, int timeoutMs, const QString& finishedTitle);

} // namespace Ops
