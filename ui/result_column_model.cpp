#include "ui/result_column_model.h"

#include <QString>

namespace ui {

ResultColumnModel::ResultColumnModel(const records::SearchResults& results,
                                     int column, QObject* parent)
    : QAbstractListModel(parent), results_(results), column_(column) {}

int ResultColumnModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_rows_;
}

QVariant ResultColumnModel::data(const QModelIndex& index, int role) const {
  // A row that the views still show may be gone from the results until
  // Update has run.
  if (role != Qt::DisplayRole || !index.isValid() ||
      index.row() >= results_.RowCount()) {
    return {};
  }
  return QString::fromStdString(results_.Text(column_, index.row()));
}

void ResultColumnModel::Update() {
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
