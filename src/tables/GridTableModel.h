#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <span>

class OperatorInteraction;

// What the table models of both kinds share: fixed columns with their header texts and
// widths (in the grid's own units; the view scales them), a fixed number of rows, the
// modified flag that the grid's tag text "Change" stands for, and the lock that Operation
// mode puts on editing.
//
// For undo and paste each table also gives: an image of the texts it keeps (taken and put
// back without any check), the name of a row ("Point 3"), a trial copy on which a paste is
// tried cell by cell through the very setData() that typing uses, and the reason a cell of
// such a trial did not keep what was pasted.
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

    // The texts the table keeps, row by row (fixed texts such as numbers, ranges and names
    // left out). restoreImage() puts an image back without any check and leaves the modified
    // flag alone.
    using TableImage = QList<QStringList>;
    virtual TableImage image() const = 0;
    virtual void restoreImage(const TableImage& image) = 0;

    // What one row holds, as the operator reads it: "point", "zone", "parameter".
    virtual QString rowItem() const = 0;
    // The row's number as the first column shows it.
    QString rowNumber(int row) const;
    // "Point 3", "Parameter 35": the item and the row's number.
    QString rowName(int row) const;
    // The column's header text without its padding blanks.
    QString columnName(int column) const { return columnHeader(column).trimmed(); }

    // A copy of the table (same texts, same lock) whose checks talk to op instead: a paste is
    // tried on it before anything of the real table changes.
    std::unique_ptr<GridTableModel> trialCopy(OperatorInteraction& op) const;
    // After setData(index, pasted) on a trial copy that told the operator nothing: why the
    // check did not keep what was pasted, or an empty text when it did (a text put into its
    // usual form, a field the row's mode does not carry emptied, count as kept).
    virtual QString pasteRefusal(const QModelIndex& index, const QString& pasted) const = 0;

  signals:
    void modifiedChanged(bool modified);
    // The program wrote a value the controller has taken (sent and confirmed, or read back
    // from it after teaching): field `field` of row `row` of the image. Undo and redo leave
    // that value as it is, since the controller holds it.
    void controllerTook(int row, int field);

  protected:
    GridTableModel(std::span<const ColumnDef> columns, int rows, QObject* parent);
    // A new table of the same kind with the start-up texts, its checks talking to op.
    virtual std::unique_ptr<GridTableModel> createLike(OperatorInteraction& op) const = 0;
    // Tells the views that every cell may have changed.
    void allCellsChanged();

  private:
    std::span<const ColumnDef> m_columns;
    int m_rows;
    bool m_modified = false;
    bool m_locked = false;
};
