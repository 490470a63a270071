#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <span>

// What the table models of both kinds share: fixed columns with their header texts and
// widths (in the grid's own units; the view scales them), a fixed number of rows, the
// modified flag that the grid's tag text "Change" stands for, and the lock that Operation
// mode puts on editing.
class GridTableModel : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GridTableModel)

  public:
    struct ColumnDef {
        const char* header; // shown as it stands, blanks included
        int width;
    };

    static QString headerOf(std::span<const ColumnDef> columns, int column);
    static int widthOf(std::span<const ColumnDef> columns, int column);
    QString columnHeader(int column) const { return headerOf(m_columns, column); }
    int columnUnits(int column) const { return widthOf(m_columns, column); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Every cell but the number in the first column is editable, unless the table is locked.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    bool modified() const { return m_modified; }
    void setModified(bool modified);
    // The grid's tag text: "Change" while modified, else empty.
    QString tagText() const;

    bool locked() const { return m_locked; }
    void setLocked(bool locked);

  signals:
    void modifiedChanged(bool modified);

  protected:
    GridTableModel(std::span<const ColumnDef> columns, int rows, QObject* parent);
    // Tells the views that every cell may have changed.
    void allCellsChanged();

  private:
    std::span<const ColumnDef> m_columns;
    int m_rows;
    bool m_modified = false;
    bool m_locked = false;
};
