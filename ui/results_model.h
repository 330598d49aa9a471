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

// This model holds the 14 result columns as one table, of which each list box
// shows one column. A search appends its rows in one insert and clearing
// resets the model, so that every list keeps its selection and scrolling
// across an append.
class ResultsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ResultsModel(QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  // Cuts a text too long for a list box, with "…" at its end.
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
  // The cache keeps the shown texts of the rows last asked for, since a row
  // with a long text takes a pass over all of it and a list repaints at every
  // move of the mouse.
  mutable QCache<int, ShownRow> shown_;
};

// This model shows one column of a table model as a list and follows the
// table's changes. Over the whole table, a list would offer assistive
// technology every column as its items, since Qt's accessible list ignores
// the view's model column.
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
