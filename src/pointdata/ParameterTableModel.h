#pragma once

#include "pointdata/PointData.h"

#include <QAbstractTableModel>

class OperatorInteraction;

// The parameter table as the parameter grid shows it: the actuator type row first, then the
// 19 other parameters, with number, Setting Value, Setting Range, Initial Value and name.
// Only the Setting Value of rows other than the type row is editable; an edit runs the
// after-edit check unless a bulk load (receiving) is in progress.
class ParameterTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterTableModel)

  public:
    enum Column { ColNumber, ColSetting, ColRange, ColInitial, ColNote, ColumnCount };

    // Cell background as the colour value 0xBBGGRR: red 0xC0, green 0xC0, blue 0xFF.
    static constexpr unsigned CellColourBgr = 0xFFC0C0;

    // Starts with the start-up table (type 30 defaults).
    explicit ParameterTableModel(OperatorInteraction& op, QObject* parent = nullptr);

    static QString headerText(int column);
    // Column width in the grid's own units; the view scales it to pixels.
    static int columnWidth(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit of a Setting Value: stores it, runs the after-edit check (not while receiving)
    // and emits edited(). An unchanged text runs nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    ParameterTableData table() const { return m_table; }
    // Replaces the whole table without any check.
    void setTable(const ParameterTableData& table);

    // The current actuator type: the Setting Value of the type row.
    QString actuatorType() const { return m_table[0].setting; }
    QString settingValue(int number) const;
    // A value the program writes (teaching, size detection): stored without the check.
    bool setSettingValue(int number, const QString& value);
    // The type's defaults into the Initial Value column. An unsupported type tells the
    // operator and ends the program; the table then stays as it was and false is returned.
    bool fillInitialValues(const QString& type);
    // New: the current type's defaults into both the Initial and the Setting Values.
    bool resetToDefaults();

    bool receiving() const { return m_receiving; }
    // While receiving, edits store their text without the after-edit check.
    void setReceiving(bool receiving) { m_receiving = receiving; }

  signals:
    // An operator edit went through the check: the window sets the modified flag and, with
    // the parameter grid shown, refreshes the dependent displays.
    void edited();

  private:
    void replace(const ParameterTableData& table);

    OperatorInteraction& m_op;
    ParameterTableData m_table;
    bool m_receiving = false;
};
