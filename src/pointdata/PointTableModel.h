#pragma once

#include "pointdata/PointData.h"
#include "pointdata/PointRules.h"

#include "tables/GridTableModel.h"

class OperatorInteraction;

// The point table as the point grid shows it: 64 rows of point number, mode, position,
// speed, pushing level and note. Edits run the change check; the model also carries the
// modified flag (the grid's "Change" tag) and the lock that the drive panel's Operation mode
// puts on editing.
class PointTableModel final : public GridTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PointTableModel)

  public:
    using Column = PointRules::Column;

    // Cell background as the colour value 0xBBGGRR: red 0xC0, green 0xC0, blue 0xFF.
    static constexpr unsigned CellColourBgr = 0xFFC0C0;

    explicit PointTableModel(OperatorInteraction& op, QObject* parent = nullptr);

    static QString headerText(int column);
    // Column width in the grid's own units; the view scales it to pixels.
    static int columnWidth(int column);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // An edit of a cell's text: stores it and runs the change check on its row (unless
    // checks are suspended). An unchanged text runs nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Activation of a cell by the operator: the Mode column asks for the operation mode,
    // the Position, Speed and Pushing level columns for a value on the numeric keypad. The
    // answer goes through setData; an empty answer (Cancel) leaves the cell as it was.
    // Returns true when the cell was changed. Does nothing while locked.
    bool activate(const QModelIndex& index);

    // The teaching SET writes a taught position into a point's Position cell.
    void teachPosition(int row, const QString& position);

    PointTableData table() const { return m_table; }
    PointRecord point(int row) const;
    // Replaces the whole table without any check (receive, open, New).
    void setTable(const PointTableData& table);
    // Empties every field of points 0 to 63 except the number (New).
    void clear();

    // Undo and paste: the five texts of every point; "point"; why a pasted position, speed,
    // pushing level or mode was not kept (it was no number; a field the row's mode does not
    // carry counts as kept).
    TableImage image() const override;
    void restoreImage(const TableImage& image) override;
    QString rowItem() const override { return QStringLiteral("point"); }
    QString pasteRefusal(const QModelIndex& index, const QString& pasted) const override;

    // While suspended (opening a file, New clearing the table) edits store their text only.
    bool checksSuspended() const { return m_suspended; }
    void setChecksSuspended(bool suspended) { m_suspended = suspended; }

  protected:
    std::unique_ptr<GridTableModel> createLike(OperatorInteraction& op) const override;

  private:
    bool store(const QModelIndex& index, const QString& text, bool teachingSet);

    OperatorInteraction& m_op;
    PointTableData m_table;
    bool m_suspended = false;
};
