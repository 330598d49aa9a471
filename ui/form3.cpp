#include "ui/form3.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <optional>
#include <vector>

#include "ui/controls.h"
#include "ui/file_name.h"
#include "ui/guide.h"
#include "ui/layout.h"
#include "ui/messages.h"
#include "ui/prompts.h"
#include "ui/results_model.h"
#include "ui/text_limits.h"
#include "ui/waiting.h"

namespace ui {
namespace {

using search::SearchMode;

// Each mode has its option and the prompt of its search.
struct Mode {
  SearchMode mode;
  Placed option;
  Message prompt;
  const char* default_answer;
};

constexpr Mode kModes[] = {
    {SearchMode::kBySurname,
     {"Option1", "По фамилиям", {120, 120, 1455, 495}},
     Message::kAskSurname,
     // Meant, not a misspelt name: the system's own default answer.
     "Вулимов"},
    {SearchMode::kByFirstName,
     {"Option2", "По именам", {120, 600, 1455, 495}},
     Message::kAskFirstName,
     ""},
    {SearchMode::kByTelephone,
     {"Option3", "По телефону", {120, 1080, 1335, 495}},
     Message::kAskTelephone,
     ""},
};

constexpr Placed kCommand1 = {"Command1", "Искать", {3840, 360, 1215, 495}};
constexpr Placed kCommand2 = {
    "Command2", "Очистка списка", {3840, 960, 1215, 495}};
constexpr Placed kCommand3 = {"Command3", "Назад", {5640, 360, 1215, 495}};
constexpr Placed kCommand4 = {"Command4", "Просмотр", {5640, 960, 1215, 495}};

// Returns the header over a result column: the field's column header, or its
// caption where it has none.
constexpr std::string_view HeaderText(int column) {
  const card::FieldInfo& field = card::kFields[column];
  return field.column_header.empty() ? field.caption : field.column_header;
}

// Each header names, for assistive technology too, the column it stands
// over.
struct Header {
  const char* name;
  int column;
  Twips place;
};

constexpr Header kHeaders[] = {
    {"Label6", card::field::AccountNumber, {120, 3120, 1215, 495}},
    {"Label1", card::field::Surname, {1560, 3120, 1215, 495}},
    {"Label2", card::field::FirstName, {2880, 3120, 1215, 495}},
    {"Label3", card::field::Patronymic, {4200, 3120, 1215, 495}},
    {"Label5", card::field::Address, {5520, 3120, 975, 495}},
    {"Label4", card::field::SubscriberNumber, {6840, 3120, 1095, 495}},
};

// List1 stands in the order of its columns. Columns 6 to 13 have no list:
// the results hold them, and a screen reader must not find them.
constexpr int kListLeft[Form3::kVisibleColumns] = {1440, 2760, 4080,
                                                   5400, 6720, 120};
constexpr int kListTop = 3600;
constexpr int kListWidth = 1215;
constexpr int kListHeight = 1425;

// Returns why the card window cannot show result `row`, if it cannot: a text
// too long for a cell.
std::optional<QString> TooLongToView(const search::SearchResults& results,
                                     int row) {
  if (row < 0 || row >= results.RowCount()) return std::nullopt;
  const search::SearchResults::RowStarts starts = results.StartsOfRow(row, 0);
  for (int column = 0; column < search::SearchResults::kColumnCount; ++column) {
    const std::size_t length = starts[static_cast<std::size_t>(column)].length;
    if (length <= kCellCharacters) continue;
    return Text(Message::kTooLongToView)
        .arg(QString::fromUtf8(card::kFields[column].caption),
             CountText(length), CountText(kCellCharacters));
  }
  return std::nullopt;
}

const Mode& ModeRow(SearchMode mode) {
  for (const Mode& row : kModes) {
    if (row.mode == mode) return row;
  }
  return kModes[0];
}

}  // namespace

Form3::Form3(std::filesystem::path file, card::SubscriberCard& card,
             QWidget* parent)
    : QWidget(parent), file_(std::move(file)), card_(card) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("Form3"));
  // Controls keep their places whatever size the clerk gives the window.
  resize(TwipsSize(8070, 5160));
  BuildControls();
  SetTabOrder();

  connect(controls_.search, &QPushButton::clicked, this, &Form3::Search);
  connect(controls_.clear, &QPushButton::clicked, this, &Form3::ClearList);
  connect(controls_.back, &QPushButton::clicked, this, &Form3::BackClicked);
  connect(controls_.view, &QPushButton::clicked, this, &Form3::View);
  connect(HelpKey(this), &QShortcut::activated, this, &Form3::GuideRequested);
  controls_.clear->setFocus();
}

void Form3::BuildControls() {
  controls_.options = new QButtonGroup(this);
  for (const Mode& mode : kModes) {
    controls_.options->addButton(Place<OptionButton>(this, mode.option),
                                 static_cast<int>(mode.mode));
  }
  controls_.search = Place<CommandButton>(this, kCommand1);
  controls_.clear = Place<CommandButton>(this, kCommand2);
  controls_.back = Place<CommandButton>(this, kCommand3);
  controls_.view = Place<CommandButton>(this, kCommand4);
  for (const Header& header : kHeaders) {
    PlaceLabel(this, {header.name, HeaderText(header.column), header.place});
  }

  model_ = new ResultsModel(this);
  for (int k = 0; k < kVisibleColumns; ++k) {
    auto* list = new ListBox(this);
    list->setObjectName(QStringLiteral("List1(%1)").arg(k));
    list->setGeometry(
        Pixels({kListLeft[k], kListTop, kListWidth, kListHeight}));
    // Uniform sizes keep the first layout of many rows quick.
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setModel(new ColumnModel(*model_, k, list));
    controls_.list1[k] = list;
  }
  // A screen reader names each list by the header over it.
  for (const Header& header : kHeaders) {
    controls_.list1[header.column]->setAccessibleName(
        QString::fromUtf8(HeaderText(header.column)));
  }
}

void Form3::SetTabOrder() {
  const auto& list = controls_.list1;
  QAbstractButton* option1 =
      controls_.options->button(static_cast<int>(SearchMode::kBySurname));
  QAbstractButton* option2 =
      controls_.options->button(static_cast<int>(SearchMode::kByFirstName));
  QAbstractButton* option3 =
      controls_.options->button(static_cast<int>(SearchMode::kByTelephone));
  const std::vector<QWidget*> chain = {
      controls_.clear, option2,          list[2], list[1], list[0],
      option1,         controls_.search, list[3], list[4], option3,
      controls_.back,  controls_.view,   list[5]};
  for (std::size_t i = 1; i < chain.size(); ++i) {
    setTabOrder(chain[i - 1], chain[i]);
  }
  // No mode is chosen at first, so the group's stop is its first option in
  // the chain.
  KeepOneTabStop(*controls_.options, *option2);
}

SearchMode Form3::ChosenMode() const {
  const int id = controls_.options->checkedId();
  return id < 0 ? SearchMode::kNone : static_cast<SearchMode>(id);
}

std::string Form3::AskQuery(SearchMode mode) {
  const Mode& row = ModeRow(mode);
  return AskText(this, Text(row.prompt), QString::fromUtf8(row.default_answer))
      .toStdString();
}

void Form3::Search() {
  const SearchMode mode = ChosenMode();
  search::SearchOutcome outcome;
  {
    LockWaitWindow wait(this, Text(Message::kSearching), FileName(file_));
    SearchProgressWindow progress(this, FileName(file_));
    outcome = model_->Search(
        mode, [this, mode] { return AskQuery(mode); },
        [&progress](std::uint64_t read, std::uint64_t size) {
          return progress.Report(read, size);
        },
        file_, [&wait] { return wait.Wait(); });
  }
  // A search that fails or is stopped half-way keeps the rows found before.
  if (!outcome) {
    ShowFailure(this, Text(Message::kNotSearched),
                QString::fromStdString(outcome.failure().message));
  }
}

void Form3::ClearList() {
  if (!ConfirmClearing(this)) return;
  model_->Clear();
}

void Form3::View() {
  const QModelIndexList selected = controls_.list1[card::field::Surname]
                                       ->selectionModel()
                                       ->selectedIndexes();
  const int row = selected.isEmpty() ? -1 : selected.front().row();
  // A refused card leaves the search window shown and the card as it was.
  if (const std::optional<QString> why =
          TooLongToView(model_->Results(), row)) {
    ShowFailure(this, Text(Message::kNotViewed), *why);
    return;
  }
  if (search::ViewSelected(row, model_->Results(), card_)) emit CardViewed();
}

void Form3::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The window takes the keyboard, as the card window does.
  activateWindow();
}

void Form3::closeEvent(QCloseEvent* event) {
  event->ignore();
  emit BackClicked();
}

}  // namespace ui
