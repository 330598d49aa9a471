#include "ui/results_model.h"

#include <QString>
#include <memory>

#include "ui/messages.h"
#include "ui/text_limits.h"

namespace ui {
namespace {

// The cache holds more rows than all six lists show, however each is
// scrolled.
constexpr int kRowsKept = 256;

}  // namespace

ResultsModel::ResultsModel(QObject* parent)
    : QAbstractTableModel(parent), shown_(kRowsKept) {}

int ResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : results_.RowCount();
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : search::SearchResults::kColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const auto column = static_cast<std::size_t>(index.column());
  if (const ShownRow* row = shown_.object(index.row())) return (*row)[column];
  auto texts = std::make_unique<ShownRow>();
  // The whole texts stay in the results for "Просмотр".
  const search::SearchResults::RowStarts starts =
      results_.StartsOfRow(index.row(), kListItemCharacters);
  for (std::size_t k = 0; k < starts.size(); ++k) {
    (*texts)[k] = QString::fromStdString(starts[k].text);
    if (starts[k].length > kListItemCharacters) (*texts)[k] += u'…';
  }
  QString text = (*texts)[column];
  shown_.insert(index.row(), texts.release());
  return text;
}

search::SearchOutcome ResultsModel::Search(search::SearchMode mode,
                                           const search::Prompt& prompt,
                                           const search::Progress& progress,
                                           const std::filesystem::path& file,
                                           const records::LockWait& wait) {
  search::SearchResults found;
  search::SearchOutcome outcome = search::SearchRecords(
      mode, prompt, found, progress, file, records::PlatformFileSystem(), wait);
  if (found.RowCount() > 0 && !results_.MakeRoomFor(found)) {
    return records::Failure{Text(Message::kNoMemoryForResults).toStdString()};
  }
  if (found.RowCount() > 0) {
    const int first = results_.RowCount();
    beginInsertRows(QModelIndex(), first, first + found.RowCount() - 1);
    results_.Append(std::move(found));
    endInsertRows();
  }
  return outcome;
}

void ResultsModel::Clear() {
  beginResetModel();
  search::ClearResults(results_);
  shown_.clear();
  endResetModel();
}

ColumnModel::ColumnModel(QAbstractItemModel& table, int column, QObject* parent)
    : QAbstractListModel(parent), table_(table), column_(column) {
  // The table has rows only at its top level, so the parents are dropped.
  connect(&table, &QAbstractItemModel::rowsAboutToBeInserted, this,
          [this](const QModelIndex&, int first, int last) {
            beginInsertRows(QModelIndex(), first, last);
          });
  connect(&table, &QAbstractItemModel::rowsInserted, this,
          [this] { endInsertRows(); });
  connect(&table, &QAbstractItemModel::rowsAboutToBeRemoved, this,
          [this](const QModelIndex&, int first, int last) {
            beginRemoveRows(QModelIndex(), first, last);
          });
  connect(&table, &QAbstractItemModel::rowsRemoved, this,
          [this] { endRemoveRows(); });
  connect(&table, &QAbstractItemModel::modelAboutToBeReset, this,
          [this] { beginResetModel(); });
  connect(&table, &QAbstractItemModel::modelReset, this,
          [this] { endResetModel(); });
  connect(
      &table, &QAbstractItemModel::dataChanged, this,
      [this](const QModelIndex& top_left, const QModelIndex& bottom_right,
             const QList<int>& roles) {
        if (top_left.column() <= column_ && column_ <= bottom_right.column()) {
          emit dataChanged(index(top_left.row()), index(bottom_right.row()),
                           roles);
        }
      });
}

int ColumnModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.rowCount();
}

QVariant ColumnModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  return table_.index(index.row(), column_).data(role);
}

}  // namespace ui
