#include "ui/results_model.h"

#include <QString>

namespace ui {

ResultsModel::ResultsModel(const search::SearchResults& results,
                           QObject* parent)
    : QAbstractTableModel(parent), results_(results) {}

int ResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_rows_;
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : search::SearchResults::kColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  // A row that the views still show may be gone from the results until
  // Update has run.
  if (role != Qt::DisplayRole || !index.isValid() ||
      index.row() >= results_.RowCount()) {
    return {};
  }
  return QString::fromStdString(results_.Text(index.column(), index.row()));
}

void ResultsModel::Update() {
  const int rows = results_.RowCount();
  if (rows < shown_rows_) {
    beginResetModel();
    shown_rows_ = rows;
    endResetModel();
  } else if (rows > shown_rows_) {
    beginInsertRows(QModelIndex(), shown_rows_, rows - 1);
    shown_rows_ = rows;
    endInsertRows();
  }
}

}  // namespace ui
