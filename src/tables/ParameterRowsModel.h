#pragma once

#include "tables/ParameterRows.h"

#include "tables/GridTableModel.h"

#include <array>
#include <span>
#include <vector>

class OperatorInteraction;

// A parameter table as a parameter grid shows it: the actuator type row first, then the
// kind's other parameters, with number, Setting Value, Setting Range, Initial Value and name.
// Only the Setting Value of rows other than the type row is editable; an edit runs the
// after-edit check unless a bulk load (receiving) is in progress. Each kind gives its column
// headers and widths, its rows and its type default lists.
class ParameterRowsModel : public GridTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterRowsModel)

  public:
    enum Column { ColNumber, ColSetting, ColRange, ColInitial, ColNote, ColumnCount };
    using Columns = std::array<ColumnDef, ColumnCount>;
    // The columns of a parameter grid: the kinds differ in the blanks after "Setting Range"
    // and in the width of the Note column.
    static constexpr Columns columns(const char* rangeHeader, int noteWidth) {
        return {{{"No", 25},
                 {"Setting Value", 80},
                 {rangeHeader, 230},
                 {"Initial Value ", 70},
                 {"                 Note", noteWidth}}};
    }

    // The light blue 0xFFC0C0 (written 0xBBGGRR: red 0xC0, green 0xC0, blue 0xFF) both kinds
    // give their parameter grids.
    static constexpr unsigned CellColourBgr = 0xFFC0C0;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit of a Setting Value: stores it, runs the after-edit check (not while receiving)
    // and emits edited(). An unchanged text runs nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    std::span<const ParameterRow> rows() const { return m_rows; }
    // The rows as a kind's fixed-size table.
    template <size_t N> std::array<ParameterRow, N> rowsAs() const {
        std::array<ParameterRow, N> table;
        for (size_t k = 0; k < N && k < m_rows.size(); ++k)
            table[k] = m_rows[k];
        return table;
    }
    // The current actuator type: the Setting Value of the type row.
    QString actuatorType() const { return m_rows.front().setting; }
    // The Setting Value of parameter number n; empty when the table does not hold n.
    QString settingValue(int number) const;
    // A value the program writes (receive, teaching): stored without the check.
    bool setSettingValue(int number, const QString& value);
    // The Setting Value of parameter n, as it stands, is what the controller holds now: it was
    // sent and confirmed, or read back from the controller (controllerTook).
    void controllerHolds(int number);
    // A value the controller has taken: stored as setSettingValue() stores it, then
    // controllerHolds().
    bool setControllerValue(int number, const QString& value);
    // The type's defaults into the Initial Value column. An unsupported type tells the
    // operator and ends the program; the table then stays as it was and false is returned.
    bool fillInitialValues(const QString& type);
    // New: the current type's defaults into both the Initial and the Setting Values.
    bool resetToDefaults();
    // The kind's type default list ("30,100,0,...,"), or an empty text for a type the kind
    // does not know.
    QString typeDefaults(const QString& type) const { return defaultList(type); }
    // Replaces the rows (as many as the table has) without any check.
    void setRows(std::span<const ParameterRow> rows) { replaceRows(rows); }

    // Undo and paste: the Setting and Initial Value of every row; "parameter"; a pasted
    // Setting Value that the check replaced is refused with the row's Setting Range.
    TableImage image() const override;
    void restoreImage(const TableImage& image) override;
    QString rowItem() const override { return QStringLiteral("parameter"); }
    QString pasteRefusal(const QModelIndex& index, const QString& pasted) const override;

    bool receiving() const { return m_receiving; }
    // While receiving, edits store their text without the after-edit check.
    void setReceiving(bool receiving) { m_receiving = receiving; }

  signals:
    // An operator edit went through the check: the window sets the modified flag and
    // refreshes the displays that mirror parameter values.
    void edited();

  protected:
    ParameterRowsModel(OperatorInteraction& op, const Columns& columns,
                       std::span<const ParameterRow> rows, QObject* parent);
    // The type default list, or an empty text for a type the kind does not know.
    virtual QString defaultList(const QString& type) const = 0;
    // The check after an operator edit of a row; false when the edit does not count as one.
    virtual bool checkEdit(ParameterRow& row);
    // Replaces every row without any check.
    void replaceRows(std::span<const ParameterRow> rows);

    OperatorInteraction& m_op;

  private:
    std::vector<ParameterRow> m_rows;
    bool m_receiving = false;
};
