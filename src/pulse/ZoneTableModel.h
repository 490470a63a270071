#pragma once

#include "pulse/PulseData.h"
#include "pulse/ZoneRules.h"

#include "tables/GridTableModel.h"

class OperatorInteraction;

// The zone table as the zone grid shows it: four rows of zone number, position A, position B
// and note. An operator edit runs the zone check on its row (A, then B); the model also
// carries the window's modified flag (the zone grid's "Change" tag, set by an edit of either
// table) and the lock that Operation mode puts on editing.
class ZoneTableModel final : public GridTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZoneTableModel)

  public:
    using Column = ZoneRules::Column;
    // The fixed cells (header and number column) as the colour value 0xBBGGRR: light blue.
    static constexpr unsigned FixedColourBgr = 0xFFC0C0;

    // What a program write into the zones is, while it runs: the check is off for both.
    enum class BulkWrite { None, InitOrNew, Teaching };

    explicit ZoneTableModel(OperatorInteraction& op, QObject* parent = nullptr);

    // Positions A and B show with two decimals; their edit role is the cell's text as held.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // An edit of a cell's text: stores it, then (unless a bulk write runs) checks A and B of
    // its row, telling the operator about a position outside -40 to 40 and emptying it, and
    // sets the modified flag. An unchanged text runs nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Keypad entry of a position cell: the numeric keypad opens with the cell's text and its
    // answer goes through setData; an empty answer (Cancel) leaves the cell as it was.
    // Returns true when the cell changed. Does nothing for the other columns or while locked.
    bool activate(const QModelIndex& index);

    ZoneTableData table() const { return m_table; }
    ZoneRecord zone(int row) const;
    // Replaces the whole table without any check (receive, open).
    void setTable(const ZoneTableData& table);
    // Empties A, B and Note of every zone without any check (New, initialisation).
    void clear() { setTable({}); }

    // Undo and paste: A, B and the note of every zone; "zone". A zone check that refuses a
    // position tells the operator, so a pasted cell has no further reason of its own.
    TableImage image() const override;
    void restoreImage(const TableImage& image) override;
    QString rowItem() const override { return QStringLiteral("zone"); }
    QString pasteRefusal(const QModelIndex&, const QString&) const override { return {}; }

    BulkWrite bulkWrite() const { return m_bulk; }
    void setBulkWrite(BulkWrite bulk) { m_bulk = bulk; }

  protected:
    std::unique_ptr<GridTableModel> createLike(OperatorInteraction& op) const override;

  private:
    OperatorInteraction& m_op;
    ZoneTableData m_table;
    BulkWrite m_bulk = BulkWrite::None;
};
