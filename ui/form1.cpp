#include "ui/form1.h"

#include <QButtonGroup>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
#include <QStringList>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>
#include <optional>
#include <string>

#include "records/subscriber_file.h"
#include "ui/controls.h"
#include "ui/file_name.h"
#include "ui/form3.h"
#include "ui/guide.h"
#include "ui/layout.h"
#include "ui/messages.h"
#include "ui/prompts.h"
#include "ui/text_limits.h"
#include "ui/waiting.h"

namespace ui {
namespace {

namespace field = card::field;

// The caption of a field's cell, which also captions its label or frame.
constexpr std::string_view Caption(int index) {
  return card::kFields[index].caption;
}

constexpr Placed kFrames[] = {
    {"Frame1(0)",
     // The spaces inside the quotes are meant: the system's own caption.
     "Абонент телефонной сети \" Korvant \"",
     {120, 120, 7695, 1215}},
    {"Frame2", Caption(field::Address), {120, 1440, 3735, 1935}},
    {"Frame3", Caption(field::SubscriberNumber), {4080, 1560, 1935, 855}},
    {"Frame1(1)", Caption(field::AccountNumber), {240, 3960, 2295, 735}},
    {"Frame4", "Льготы", {6840, 4920, 1215, 2295}},
};

// These labels stand inside Frame1(0) and are placed relative to it.
constexpr Placed kNameLabels[] = {
    {"Label1(0)", Caption(field::Surname), {240, 360, 1095, 495}},
    {"Label2(0)", Caption(field::FirstName), {2760, 360, 1455, 615}},
    {"Label3(0)", Caption(field::Patronymic), {5280, 360, 1695, 495}},
};

constexpr Placed kTableLabels[] = {
    {"Label4", "Вид услуг", {720, 4920, 1215, 495}},
    {"Label5", "Начислено", {2160, 4920, 1215, 495}},
    {"Label6", "Погашено", {3720, 4920, 1215, 495}},
    {"Label7", "К оплате", {5280, 4920, 1215, 495}},
    {"Label1(1)", "Абонентская плата", {240, 5400, 1815, 495}},
    {"Label2(1)", "Повременная плата", {240, 6000, 1815, 495}},
    {"Label3(1)", "Итого", {240, 6600, 1215, 495}},
};

// Each box of Text1, by field index, points at what names it for assistive
// technology: its label or frame, or in the billing table its row's label
// and its column's header.
struct Cell {
  Twips place;
  const Placed* caption;
  const Placed* column = nullptr;  // in the billing table only
};

constexpr const Placed* kSubscription = &kTableLabels[4];
constexpr const Placed* kMetered = &kTableLabels[5];
constexpr const Placed* kTotal = &kTableLabels[6];
constexpr const Placed* kCharged = &kTableLabels[1];
constexpr const Placed* kPaid = &kTableLabels[2];
constexpr const Placed* kDue = &kTableLabels[3];

constexpr Cell kCells[card::kFieldCount] = {
    {{240, 720, 2415, 495}, &kNameLabels[0]},
    {{2760, 720, 2415, 495}, &kNameLabels[1]},
    {{5280, 720, 2415, 495}, &kNameLabels[2]},
    {{240, 1680, 3375, 1455}, &kFrames[1]},
    {{4200, 1800, 1695, 495}, &kFrames[2]},
    {{360, 4200, 2055, 375}, &kFrames[3]},
    {{2160, 5400, 1215, 495}, kSubscription, kCharged},
    {{3720, 5400, 1215, 495}, kSubscription, kPaid},
    {{5280, 5400, 1215, 495}, kSubscription, kDue},
    {{2160, 6000, 1215, 495}, kMetered, kCharged},
    {{3720, 6000, 1215, 495}, kMetered, kPaid},
    {{5280, 6000, 1215, 495}, kMetered, kDue},
    {{2160, 6600, 1215, 495}, kTotal, kCharged},
    {{3720, 6600, 1215, 495}, kTotal, kPaid},
    {{5280, 6600, 1215, 495}, kTotal, kDue},
};

// Returns a cell's name as a screen reader reads it: "Фамилия", "Итого, к
// оплате".
QString CellName(const Cell& cell) {
  QString name = QString::fromUtf8(cell.caption->caption);
  if (cell.column) {
    const QString column = QString::fromUtf8(cell.column->caption);
    name += QStringLiteral(", ") + column.left(1).toLower() + column.mid(1);
  }
  return name;
}

// Command1 is left out: the options reset the charge through the card, and
// nothing offers it.
constexpr Placed kCommand2 = {"Command2", "Записать", {6720, 3360, 1215, 495}};
constexpr Placed kCommand3 = {"Command3", "Поиск", {5280, 3360, 1215, 495}};

// Option1 to Option4 follow the order of card::kBenefits. They stand inside
// Frame4 but are placed, like the cells, within the window.
constexpr Twips kOptions[card::kBenefitCount] = {
    {6960, 5160, 855, 495},
    {6960, 5640, 855, 495},
    {6960, 6120, 855, 495},
    {6960, 6600, 855, 495},
};

struct Line {
  const char* name;
  int x1, y1, x2, y2;
};

constexpr Line kLines[] = {
    {"Line1", 120, 3600, 5160, 3600},
    {"Line2", 8160, 120, 8160, 3600},
    {"Line3", 120, 7440, 8160, 7440},
    {"Line4", 8160, 3600, 8160, 7440},
};

// Tab visits the billing table's boxes between "Поиск" and the account
// number: the due column, then the paid, then the charged, each from the
// bottom up.
constexpr int kTableTabOrder[] = {
    card::field::TotalDue,           card::field::MeteredDue,
    card::field::SubscriptionDue,    card::field::TotalPaid,
    card::field::MeteredPaid,        card::field::SubscriptionPaid,
    card::field::TotalCharged,       card::field::MeteredCharged,
    card::field::SubscriptionCharged};

const QColor kBackground(224, 224, 224);

}  // namespace

Form1::Form1(std::filesystem::path file, QWidget* parent)
    : QWidget(parent), file_(std::move(file)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Form1"));
  // Controls keep their places whatever size the clerk gives the window; the
  // background colour fills what it gains.
  resize(TwipsSize(8445, 7710));
  QPalette grey;
  grey.setColor(QPalette::Window, kBackground);
  setPalette(grey);

  BuildControls();
  SetTabOrder();
  Wire();

  // The card starts as the window loads.
  card_.Start();
  controls_.options->button(static_cast<int>(card_.ChosenBenefit()))
      ->setChecked(true);
  controls_.text1[card::field::Surname]->setFocus();
}

Form1::~Form1() = default;

void Form1::BuildControls() {
  // The controls are made from the bottom up: the lines, the frames, then
  // what stands on them.
  for (const Line& line : kLines) {
    auto* widget = new LineWidget(this);
    widget->setObjectName(QString::fromUtf8(line.name));
    // A rectangle from two points holds both of them: both ends are drawn.
    widget->setGeometry(QRect(Pixels({line.x1, line.y1, 0, 0}).topLeft(),
                              Pixels({line.x2, line.y2, 0, 0}).topLeft()));
  }

  // The fusion style tints the inside of a group box and bolds its caption;
  // the plain style shows the window's colour through it.
  QStyle* frame_style = QStyleFactory::create(QStringLiteral("Windows"));
  frame_style->setParent(this);
  QGroupBox* name_frame = nullptr;
  QGroupBox* benefit_frame = nullptr;
  for (const Placed& frame : kFrames) {
    auto* box = Place<QGroupBox>(this, frame);
    box->setStyle(frame_style);
    if (!name_frame) name_frame = box;
    benefit_frame = box;  // the last frame
  }
  for (const Placed& label : kNameLabels) PlaceLabel(name_frame, label);
  for (const Placed& label : kTableLabels) PlaceLabel(this, label);

  for (int i = 0; i < card::kFieldCount; ++i) {
    auto* box = new QLineEdit(QString::fromStdString(card_.CellText(i)), this);
    box->setObjectName(QStringLiteral("Text1(%1)").arg(i));
    box->setGeometry(Pixels(kCells[i].place));
    // The box holds what a cell holds, not its own 32767 characters.
    box->setMaxLength(static_cast<int>(kCellCharacters));
    // A screen reader reads the name in place of "поле ввода" alone.
    box->setAccessibleName(CellName(kCells[i]));
    controls_.text1[i] = box;
  }
  // MarkCell gives the derived cells their descriptions.
  MarkCell(std::nullopt);

  controls_.search = Place<CommandButton>(this, kCommand3);
  controls_.save = Place<CommandButton>(this, kCommand2);

  // The options stand within their frame, so that a screen reader reads them
  // as its group: "Льготы", then the option.
  const QPoint frame_corner = benefit_frame->pos();
  controls_.options = new QButtonGroup(this);
  for (const card::BenefitInfo& benefit : card::kBenefits) {
    const int id = static_cast<int>(benefit.option);
    auto* option =
        new OptionButton(QString::fromUtf8(benefit.caption), benefit_frame);
    option->setObjectName(QStringLiteral("Option%1").arg(id + 1));
    option->setGeometry(Pixels(kOptions[id]).translated(-frame_corner));
    controls_.options->addButton(option, id);
  }
  KeepOneTabStop(*controls_.options, *controls_.options->button(0));
}

void Form1::SetTabOrder() {
  std::vector<QWidget*> chain = {controls_.text1[card::field::Surname],
                                 controls_.save};
  for (int i = card::field::FirstName; i <= card::field::SubscriberNumber;
       ++i) {
    chain.push_back(controls_.text1[i]);
  }
  chain.push_back(controls_.search);
  for (int i : kTableTabOrder) chain.push_back(controls_.text1[i]);
  chain.push_back(controls_.text1[card::field::AccountNumber]);
  for (QAbstractButton* option : controls_.options->buttons()) {
    chain.push_back(option);
  }
  for (std::size_t i = 1; i < chain.size(); ++i) {
    setTabOrder(chain[i - 1], chain[i]);
  }
}

void Form1::Wire() {
  card_.Watch([this](int index) { ShowCell(index); });
  card_.WatchFailedCell([this](std::optional<int> cell) { MarkCell(cell); });
  for (int i = 0; i < card::kFieldCount; ++i) {
    QLineEdit* box = controls_.text1[i];
    connect(box, &QLineEdit::textEdited, this,
            [this, i](const QString& text) { EditCell(i, text); });
    // The tip tells why the full box refuses or cuts a key or a paste.
    connect(box, &QLineEdit::inputRejected, this, [box] {
      QToolTip::showText(
          box->mapToGlobal(box->rect().bottomLeft()),
          Text(Message::kCellFull).arg(CountText(kCellCharacters)), box);
    });
  }
  // idClicked, not idToggled, runs the chosen option again when clicked.
  connect(controls_.options, &QButtonGroup::idClicked, this,
          &Form1::ChooseBenefit);
  connect(controls_.save, &QPushButton::clicked, this, &Form1::Save);
  connect(controls_.search, &QPushButton::clicked, this, &Form1::OpenSearch);
  connect(HelpKey(this), &QShortcut::activated, this,
          [this] { OpenGuide(this); });
}

void Form1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A window shown by the clerk's action takes the keyboard, which an X
  // server without a window manager would not give it.
  activateWindow();
}

void Form1::EditCell(int index, const QString& text) {
  card_.SetCellText(index, text.toStdString());
}

void Form1::ShowCell(int index) {
  QLineEdit* box = controls_.text1[index];
  const QString text = QString::fromStdString(card_.CellText(index));
  // setText moves the caret to the end even for the same text.
  if (box->text() == text) return;
  box->setText(text);
  if (box == focusWidget()) box->selectAll();
}

void Form1::MarkCell(std::optional<int> failed) {
  QLineEdit* cell = failed ? controls_.text1[*failed] : nullptr;
  if (marked_cell_) {
    marked_cell_->setPalette(QPalette());
    marked_cell_->setToolTip(QString());
  }
  if (cell) {
    QPalette red;
    red.setColor(QPalette::Text, Qt::red);
    cell->setPalette(red);
    cell->setToolTip(Text(Message::kNotANumber));
  }
  marked_cell_ = cell;
  // A screen reader says after a cell's name that the program fills it in,
  // and that its text stops the sums.
  for (int i = 0; i < card::kFieldCount; ++i) {
    QStringList description;
    if (card::kFields[i].derived) description << Text(Message::kComputed);
    if (controls_.text1[i] == cell) description << Text(Message::kNotANumber);
    const QString text = description.join(QStringLiteral(". "));
    if (controls_.text1[i]->accessibleDescription() != text) {
      controls_.text1[i]->setAccessibleDescription(text);
    }
  }
}

void Form1::ChooseBenefit(int option) {
  card_.ChooseBenefit(static_cast<card::BenefitOption>(option));
}

void Form1::Save() {
  records::Result<void> saved;
  {
    const BusyCursor busy;
    LockWaitWindow wait(this, Text(Message::kSaving), FileName(file_));
    saved = records::SaveRecord(card_, file_, records::PlatformFileSystem(),
                                [&wait] { return wait.Wait(); });
  }
  // A save given up at the wait needs no message, and the card stays.
  if (!saved && saved.failure().code != records::FileError::kCancelled) {
    ShowFailure(this, Text(Message::kNotSaved),
                QString::fromStdString(saved.failure().message));
  }
}

void Form1::OpenSearch() {
  if (!form3_) {
    form3_ = std::make_unique<Form3>(file_, card_);
    connect(form3_.get(), &Form3::BackClicked, this, &Form1::ReturnFromSearch);
    connect(form3_.get(), &Form3::CardViewed, this, &Form1::ReturnFromSearch);
    connect(form3_.get(), &Form3::GuideRequested, this,
            [this] { OpenGuide(form3_.get()); });
  }
  hide();
  form3_->show();
}

void Form1::ReturnFromSearch() {
  show();
  form3_->hide();
}

void Form1::OpenGuide(QWidget* from) {
  if (!guide_) guide_ = std::make_unique<Guide>(file_);
  guide_->Open(from);
}

}  // namespace ui
