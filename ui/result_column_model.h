#pragma once

#include <QAbstractListModel>

#include "records/search_results.h"

namespace ui {

// One result column of the search window as a list model over the rows that
// the window holds. The rows change under the model (a search appends to
// them, clearing empties them); Update then tells the views in one step, so
// that each view keeps its own selection and scrolling across an append.
class ResultColumnModel : public QAbstractListModel {
  Q_OBJECT

 public:
  ResultColumnModel(const records::SearchResults& results, int column,
                    QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Shows the rows as they are now: rows appended since the last call are
  // inserted; fewer rows than shown means the results were emptied.
  void Update();

 private:
  const records::SearchResults& results_;
  int column_;
  int shown_rows_ = 0;  // what the views have been told
};

}  // namespace ui
