#pragma once

#include "tables/CompareReport.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

class QAbstractItemModel;

// The cells Compare found different, marked in a window's grids until the next edit of any
// watched table or the next transfer (the window clears them when an operation starts). A
// change that leaves every cell's text as it was (locking the grid, for example) is no edit.
class CellMarks final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CellMarks)
  public:
    explicit CellMarks(QObject* parent = nullptr);

    // The model shown by one of the window's grids (CompareReport::FirstGrid, ParameterGrid).
    void watch(QAbstractItemModel* model, int grid);

    void set(const QList<Difference>& differences);
    void clear();
    bool isEmpty() const { return m_cells.isEmpty(); }
    bool isMarked(int grid, int row, int column) const;
    // The marked cells of one grid as (row, column).
    QList<QPair<int, int>> cells(int grid) const;

  signals:
    void changed();

  private:
    static quint64 key(int grid, int row, int column);
    static QStringList texts(const QAbstractItemModel& model);
    void modelChanged(int grid);

    struct Watched {
        QPointer<QAbstractItemModel> model;
        QStringList snapshot; // every cell's text when the marks were set
    };
    QHash<int, Watched> m_models;
    QSet<quint64> m_cells;
};
