#include "ui/results_model.h"

#include <QString>
#include <memory>

#include "ui/text_limits.h"

namespace ui {
namespace {

// More than the rows of all six lists in view, however each is scrolled.
constexpr int kRowsKept = 256;

}  // namespace

ResultsModel::ResultsModel(const records::SearchResults& results,
                           QObject* parent)
    : QAbstractTableModel(parent), results_(results), shown_(kRowsKept) {}

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
  const auto column = static_cast<std::size_t>(index.column());
  if (const ShownRow* row = shown_.object(index.row())) return (*row)[column];
  auto texts = std::make_unique<ShownRow>();
  // The whole texts stay in the results, for "Просмотр".
  const records::SearchResults::RowStarts starts =
      results_.StartsOfRow(index.row(), kListItemCharacters);
  for (std::size_t k = 0; k < starts.size(); ++k) {
    (*texts)[k] = QString::fromStdString(starts[k].text);
    if (starts[k].length > kListItemCharacters) (*texts)[k] += u'…';
  }
  QString text = (*texts)[column];
  shown_.insert(index.row(), texts.release());
  return text;
}

void ResultsModel::Update() {
  const int rows = results_.RowCount();
  if (rows < shown_rows_) {
    beginResetModel();
    shown_.clear();
    shown_rows_ = rows;
    endResetModel();
  } else if (rows > shown_rows_) {
    beginInsertRows(QModelIndex(), shown_rows_, rows - 1);
    shown_rows_ = rows;
    endInsertRows();
  }
}

}  // namespace ui
