#include "ui/results_model.h"

#include <QString>

#include "ui/text_limits.h"

namespace ui {

ResultsModel::ResultsModel(const records::SearchResults& results,
                           QObject* parent)
    : QAbstractTableModel(parent), results_(results) {}

int ResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_rows_;
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : records::SearchResults::kColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  // A row that the views still show may be gone from the results until
  // Update has run.
  if (role != Qt::DisplayRole || !index.isValid() ||
      index.row() >= results_.RowCount()) {
    return {};
  }
  // The whole text stays in the results, for "Просмотр".
  const records::SearchResults::TextStart start =
      results_.StartOfText(index.column(), index.row(), kListItemCharacters);
  QString shown = QString::fromStdString(start.text);
  if (start.length > kListItemCharacters) shown += u'…';
  return shown;
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
