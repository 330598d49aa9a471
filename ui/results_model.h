#pragma once

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QCache>
#include <QString>
#include <array>
#include <filesystem>

#include "records/file_lock.h"
#include "search/search.h"
#include "search/search_results.h"

namespace ui {

// The 14 result columns of the search window as one table; each list box
// shows one column of it. The model owns the rows and alone changes them: a
// search appends its rows in one insert, clearing resets the model, so that
// every list keeps its own selection and scrolling across an append.
class ResultsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ResultsModel(QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  // A text too long for a list box is cut, with "…" at its end.
  QVariant data(const QModelIndex& index, int role) const override;

  // Searches the file (see search::SearchRecords) and appends the rows it
  // found, those found before a failure or a stop too.
  search::SearchOutcome Search(search::SearchMode mode,
                               const search::Prompt& prompt,
                               const search::Progress& progress,
                               const std::filesystem::path& file,
                               const records::LockWait& wait);
  // Empties the columns.
  void Clear();

  const search::SearchResults& Results() const { return results_; }

 private:
  using ShownRow = std::array<QString, search::SearchResults::kColumnCount>;

  search::SearchResults results_;
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
