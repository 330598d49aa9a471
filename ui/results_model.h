#pragma once

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QCache>
#include <QString>
#include <array>

#include "search/search_results.h"

namespace ui {

// The 14 result columns of the search window as one table over the rows
// that the window holds; each list box shows one column of it. The rows
// change under the model (a search appends to them, clearing empties them);
// Update then tells the views in one step, so that each keeps its own
// selection and scrolling across an append.
class ResultsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ResultsModel(const search::SearchResults& results, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  // A text too long for a list box is cut, with "…" at its end.
  QVariant data(const QModelIndex& index, int role) const override;

  // Shows the rows as they are now: rows appended since the last call are
  // inserted in one block; fewer rows than shown means the results were
  // emptied.
  void Update();

 private:
  using ShownRow = std::array<QString, search::SearchResults::kColumnCount>;

  const search::SearchResults& results_;
  int shown_rows_ = 0;  // what the views have been told
  // The texts shown of the rows last asked for: a row with a long text takes
  // a pass over all of it, which a list repainted at every move of the mouse
  // must not take each time.
  mutable QCache<int, ShownRow> shown_;
};

// One column of a table model as a list, for one list box. A list view over
// the whole table would offer assistive technology every column of every
// row as its items, the hidden columns too (the toolkit's accessible list
// does not heed the view's model column); over this one it offers the rows
// of its own column alone. It follows the table's inserts, removals, resets
// and changes as they come.
class ColumnModel : public QAbstractListModel {
  Q_OBJECT

 public:
  ColumnModel(QAbstractItemModel& table, int column, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  QAbstractItemModel& table_;
  const int column_;
};

}  // namespace ui
