#pragma once

#include <QList>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <optional>

class QFontMetrics;
class TableHistory;

// Pixel width of a grid column given in the grid's own units: scaled for readable text and
// never narrower than its header text.
int gridColumnPixels(int units, const QString& header, const QFontMetrics& metrics);

// The cells of a table grid: data cells on the grid's cell colour, fixed cells (a header-like
// row or number column) on their own colour, or like header cells in bold when none is
// given. Cells are edited in a plain line edit; an optional key filter decides per column
// which typed characters it takes (navigation and control keys always pass), and a column may
// limit the length of its text. Colours are written 0xBBGGRR.
class GridCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GridCellDelegate)

  public:
    struct Look {
        std::optional<quint32> cellBgr;  // data cells; none: the base colour
        std::optional<quint32> fixedBgr; // fixed cells; none: the button face, bold
        QList<int> fixedRows;
        QList<int> fixedColumns;
    };
    using KeyFilter = std::function<bool(int column, const QString& typed)>;

    explicit GridCellDelegate(Look look, QObject* parent = nullptr);

    void setKeyFilter(KeyFilter filter) { m_filter = std::move(filter); }
    void setMaxLength(int column, int length) { m_maxLengths.insert(column, length); }
    bool isFixed(const QModelIndex& index) const;
    // Why a text could not be typed into a cell of the column: a character the key filter
    // refuses or that no key types (a line end, a tab), or more characters than the column
    // takes. Empty when every character could be typed.
    QString entryRefusal(int column, const QString& text) const;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    Look m_look;
    KeyFilter m_filter;
    QHash<int, int> m_maxLengths;
};

// A table grid as both kinds show their tables: no row header (the number is a column of its
// own), rows high enough for the text, a block of neighbouring cells selected at a time
// around the current cell (the cell the keypad, the mode dialog and the teaching SET work
// on), column widths in the grid's own units. With a history, an edit committed in a cell
// and an activation are one step each ("typing in point 3", "entry in point 3"). A cell is
// activated by a double click or by Enter outside editing; what activation does is the table's (a
// dialog, the keypad), given by setActivation(). Tab walks the cells; Ctrl+Tab and Ctrl+Shift+Tab
// leave the grid for the next or previous control (a cell being edited is committed first).
class TableGrid : public QTableView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TableGrid)

  public:
    TableGrid(QAbstractItemModel* model, const QString& objectName, GridCellDelegate* delegate,
              QWidget* parent = nullptr);

    GridCellDelegate* cellDelegate() const { return m_delegate; }
    // Column widths in the grid's units, one per column.
    void setColumnUnits(const QList<int>& units);
    // The size the grid asks its layout for (all rows and columns in view, for example);
    // an invalid size gives the view's own.
    void setPreferredSize(QSize size) {
        m_preferred = size;
        updateGeometry();
    }
    QSize sizeHint() const override {
        return m_preferred.isValid() ? m_preferred : QTableView::sizeHint();
    }
    // Paints the header row in a colour (0xBBGGRR).
    void setHeaderColour(quint32 bgr);
    // Activation returns true when it changed the cell.
    void setActivation(std::function<bool(const QModelIndex&)> activation);
    bool activateCell(const QModelIndex& index);

    // Ctrl+Tab (forward) and Ctrl+Shift+Tab: the focus to the control after or before the grid.
    void leaveGrid(bool forward);

    // A cell being edited keeps what was typed: committed (and checked), the editor closed.
    void commitOpenEditor();

    void setHistory(TableHistory* history) { m_history = history; }
    TableHistory* history() const { return m_history; }
    // The selected block (rows and columns, inclusive) or, without a selection, the current
    // cell; an invalid rectangle when there is neither.
    QRect selectedBlock() const;

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void commitData(QWidget* editor) override;

  private:
    GridCellDelegate* m_delegate;
    TableHistory* m_history = nullptr;
    std::function<bool(const QModelIndex&)> m_activation;
    QSize m_preferred;
};
