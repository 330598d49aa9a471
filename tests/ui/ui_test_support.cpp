#include "ui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>

#include "ui/form1.h"
#include "ui/form3.h"

namespace ui_test {

DialogDriver::DialogDriver() {
  timer_.setInterval(10);
  connect(&timer_, &QTimer::timeout, this, &DialogDriver::Poll);
  timer_.start();
}

void DialogDriver::Expect(Answer answer) {
  expected_.push_back({std::move(answer), false});
}

void DialogDriver::ExpectClosingByItself(Answer answer) {
  expected_.push_back({std::move(answer), true});
}

QStringList DialogDriver::TakeProblems() {
  QStringList problems = std::move(problems_);
  problems_.clear();
  for (std::size_t i = 0; i < expected_.size(); ++i) {
    problems << QStringLiteral("an expected dialog never came");
  }
  expected_.clear();
  return problems;
}

void DialogDriver::VerifyNoProblems() {
  const QStringList problems = TakeProblems();
  QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void DialogDriver::Poll() {
  QWidget* dialog = QApplication::activeModalWidget();
  if (answering_ || !dialog || !dialog->isVisible() || dialog == closing_) {
    return;
  }
  answering_ = true;
  if (expected_.empty()) {
    problems_ << QStringLiteral("unexpected dialog: ") + Describe(dialog);
  } else {
    const Expected expected = std::move(expected_.front());
    expected_.pop_front();
    // qWaitForWindowActive counts the dialog's parent being active; the
    // keyboard reaches the dialog only once it is the active window itself.
    if (QTest::qWaitFor(
            [dialog] { return QApplication::activeWindow() == dialog; })) {
      expected.answer(dialog);
    }
    if (expected.closes_itself) {
      closing_ = dialog;
      answering_ = false;
      return;
    }
    if (dialog->isVisible()) {
      problems_ << QStringLiteral("dialog left open: ") + Describe(dialog);
    }
  }
  if (dialog->isVisible()) {
    if (auto* modal = qobject_cast<QDialog*>(dialog)) {
      modal->done(QDialog::Rejected);
    } else {
      dialog->hide();
    }
  }
  answering_ = false;
}

CardWindowFixture::CardWindowFixture() {
  form1_ = std::make_unique<ui::Form1>(File());
  form1_->show();
  QVERIFY(QTest::qWaitForWindowActive(form1_.get()));
}

CardWindowFixture::~CardWindowFixture() { form1_.reset(); }

QLineEdit* CardWindowFixture::Cell(int index) const {
  return form1_->findChild<QLineEdit*>(QStringLiteral("Text1(%1)").arg(index));
}

QString CardWindowFixture::FilePath() const {
  return folder_.filePath(QStringLiteral("Blank.txt"));
}

std::filesystem::path CardWindowFixture::File() const {
  // Through UTF-8, which every platform's paths convert exactly.
  const QByteArray utf8 = FilePath().toUtf8();
  return std::u8string(reinterpret_cast<const char8_t*>(utf8.constData()),
                       static_cast<std::size_t>(utf8.size()));
}

void CardWindowFixture::Retype(int index, const QString& text) {
  QLineEdit* box = Cell(index);
  box->setFocus();
  box->selectAll();
  Type(box, text.isEmpty() ? QStringLiteral("\b") : text);
}

void CardWindowFixture::SaveCard(
    const std::vector<std::pair<int, QString>>& cells) {
  for (const auto& [index, text] : cells) Retype(index, text);
  QTest::mouseClick(form1_->findChild<QPushButton*>(QStringLiteral("Command2")),
                    Qt::LeftButton);
}

ui::Form3* CardWindowFixture::OpenSearch() {
  QTest::mouseClick(form1_->findChild<QPushButton*>(QStringLiteral("Command3")),
                    Qt::LeftButton);
  ui::Form3* form3 = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<ui::Form3*>(window)) form3 = found;
  }
  if (form3 && !QTest::qWaitForWindowActive(form3)) return nullptr;
  return form3;
}

void Type(QWidget* widget, const QString& text) {
  for (const QChar character : text) {
    if (character == u'\b') {
      QTest::keyClick(widget, Qt::Key_Backspace);
    } else {
      QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown,
                          QString(character), Qt::NoModifier);
    }
  }
}

QWidget* PressTab() {
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  return QApplication::focusWidget();
}

QString FocusedName() { return QApplication::focusWidget()->objectName(); }

DialogDriver::Answer ReadMessage(QString& text) {
  return [&text](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    QVERIFY(box);
    text = box->text();
    QTest::keyClick(box, Qt::Key_Return);
  };
}

void ClickOption(QAbstractButton* option) {
  QStyleOptionButton style_option;
  style_option.initFrom(option);
  const QRect indicator = option->style()->subElementRect(
      QStyle::SE_RadioButtonIndicator, &style_option, option);
  QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

void ClickRow(QListView* list, int row) {
  const QRect place =
      list->visualRect(list->model()->index(row, list->modelColumn()));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    place.center());
}

QStringList Rows(const QListView* list) {
  QStringList rows;
  const QAbstractItemModel* model = list->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    rows << model->index(row, list->modelColumn()).data().toString();
  }
  return rows;
}

QString Describe(const QWidget* dialog) {
  QString text = dialog->windowTitle();
  if (const auto* box = qobject_cast<const QMessageBox*>(dialog)) {
    text += QStringLiteral(": ") + box->text();
  } else if (const auto* prompt = qobject_cast<const QInputDialog*>(dialog)) {
    text += QStringLiteral(": ") + prompt->labelText();
  } else if (const auto* wait = qobject_cast<const QProgressDialog*>(dialog)) {
    text += QStringLiteral(": ") + wait->labelText();
  }
  return text;
}

QString Toolkit(const char* russian, const char* english) {
  return QString::fromUtf8(
      QLocale::system().language() == QLocale::Russian ? russian : english);
}

namespace {

// The smallest rectangle round the dark pixels of `control` within `room`,
// at any scaling: the picture of a scaled control has more pixels than the
// control.
QRect Ink(QWidget* control, const QRect& room) {
  const QImage image = control->grab().toImage();
  const qreal ratio = image.devicePixelRatio();
  const QRect pixels =
      QRectF(QPointF(room.topLeft()) * ratio, QSizeF(room.size()) * ratio)
          .toAlignedRect() &
      image.rect();
  QRect ink;
  for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
    for (int x = pixels.left(); x <= pixels.right(); ++x) {
      if (qGray(image.pixel(x, y)) < 100) ink |= QRect(x, y, 1, 1);
    }
  }
  if (ink.isNull()) return ink;
  return QRectF(QPointF(ink.topLeft()) / ratio, QSizeF(ink.size()) / ratio)
      .toAlignedRect();
}

}  // namespace

QStringList UnfitControls(const QWidget* window) {
  QStringList unfit;
  for (QWidget* control : window->findChildren<QWidget*>()) {
    if (!control->objectName().startsWith(QStringLiteral("qt_")) &&
        !control->parentWidget()->rect().contains(control->geometry())) {
      unfit << control->objectName() + QStringLiteral(": cut");
    }
    const QStyle* style = control->style();
    const QFontMetrics metrics = control->fontMetrics();
    QStyleOptionButton button;
    button.initFrom(control);
    QString caption;
    QRect room;  // where the control draws its caption
    int alignment = Qt::AlignLeft | Qt::AlignVCenter;
    if (const auto* push = qobject_cast<QPushButton*>(control)) {
      caption = push->text();
      room =
          style->subElementRect(QStyle::SE_PushButtonContents, &button, push);
      alignment = Qt::AlignCenter;
    } else if (const auto* option = qobject_cast<QRadioButton*>(control)) {
      caption = option->text();
      room = style->subElementRect(QStyle::SE_RadioButtonContents, &button,
                                   option);
    } else if (const auto* label = qobject_cast<QLabel*>(control)) {
      caption = label->text();
      room = label->contentsRect();
      alignment = static_cast<int>(label->alignment());
    } else if (const auto* box = qobject_cast<QGroupBox*>(control)) {
      // A frame's caption stays on one line, where the style puts it.
      QStyleOptionGroupBox frame;
      frame.initFrom(box);
      frame.text = box->title();
      frame.textAlignment = box->alignment();
      frame.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
      if (!box->rect().contains(style->subControlRect(
              QStyle::CC_GroupBox, &frame, QStyle::SC_GroupBoxLabel, box))) {
        unfit << box->objectName() + QStringLiteral(": ") + box->title();
      }
      continue;
    } else {
      continue;
    }
    // Wrapped only where one line is too wide, as the controls decide it.
    const QFontMetricsF exact(control->font());
    const bool one_line = exact.horizontalAdvance(caption) <= room.width();
    const QRectF needed = exact.boundingRect(
        QRectF(room), alignment | (one_line ? 0 : Qt::TextWordWrap), caption);
    const int lines = qRound(needed.height() / exact.lineSpacing());
    // A caption that needs two lines is drawn on two; wrapped, a button's
    // lines may take its whole height but its edge.
    // On one line the caption's advance, not its glyphs' overhang, is what
    // the control fits to its room.
    const bool fits =
        one_line
            ? needed.top() >= room.top() && needed.bottom() <= room.bottom() + 1
            : needed.width() <= room.width() &&
                  lines * metrics.height() <=
                      (qobject_cast<QAbstractButton*>(control)
                           ? control->height() - 2
                           : room.height()) &&
                  Ink(control, room).height() > metrics.height();
    if (!fits || control->font() != QApplication::font()) {
      unfit << control->objectName() + QStringLiteral(": ") + caption;
    }
  }
  return unfit;
}

}  // namespace ui_test
