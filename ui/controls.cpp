#include "ui/controls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QtMath>
#include <algorithm>
#include <iterator>
#include <utility>

namespace ui {
namespace {

// Paints `button` as the style paints its `element`, except that a caption
// wider than the style's `room` for it is drawn wrapped at its spaces within
// that room's width, where the style would cut it.
void PaintWrapping(QAbstractButton& button, QStyleOptionButton option,
                   QStyle::ControlElement element, QStyle::SubElement room,
                   int alignment, QPalette::ColorRole role) {
  QStylePainter painter(&button);
  const QRect rect = button.style()->subElementRect(room, &option, &button);
  if (QFontMetricsF(button.font()).horizontalAdvance(option.text) <=
      rect.width()) {
    painter.drawControl(element, option);
    return;
  }
  const QString caption = std::exchange(option.text, QString());
  painter.drawControl(element, option);
  // A wrapped caption may take the control's whole height but its edge.
  const QRect wrapped(rect.left(), 1, rect.width(), button.height() - 2);
  painter.drawItemText(wrapped, alignment | Qt::TextWordWrap, option.palette,
                       button.isEnabled(), caption, role);
}

}  // namespace

void CommandButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
    QPushButton::keyPressEvent(event);
    return;
  }
  // A held key presses the button once, as a held Space does.
  if (!event->isAutoRepeat()) click();
  event->accept();
}

void CommandButton::mousePressEvent(QMouseEvent* event) {
  if (event->timestamp() < triple_click_until_) {
    event->accept();
    return;
  }
  QPushButton::mousePressEvent(event);
}

void CommandButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // Qt's own handler takes the second press of a double click for a press;
  // here it is dropped, and so is a third press soon after, which comes as
  // a plain one.
  triple_click_until_ =
      event->timestamp() +
      static_cast<quint64>(
          QGuiApplication::styleHints()->mouseDoubleClickInterval());
  event->accept();
}

void CommandButton::paintEvent(QPaintEvent*) {
  QStyleOptionButton option;
  initStyleOption(&option);
  PaintWrapping(*this, option, QStyle::CE_PushButton,
                QStyle::SE_PushButtonContents, Qt::AlignCenter,
                QPalette::ButtonText);
}

bool OptionButton::hitButton(const QPoint& pos) const {
  return rect().contains(pos);
}

void OptionButton::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool forward = key == Qt::Key_Down || key == Qt::Key_Right;
  if (!group() || (!forward && key != Qt::Key_Up && key != Qt::Key_Left)) {
    QRadioButton::keyPressEvent(event);
    return;
  }
  // Qt's own arrow keys stop at the ends of the group and choose the option
  // they reach only when the one they leave was chosen.
  const QList<QAbstractButton*> options = group()->buttons();
  const qsizetype count = options.size();
  QAbstractButton* reached =
      options[(options.indexOf(this) + (forward ? 1 : count - 1)) % count];
  reached->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  if (!reached->isChecked()) reached->click();
  event->accept();
}

void OptionButton::paintEvent(QPaintEvent*) {
  QStyleOptionButton option;
  initStyleOption(&option);
  PaintWrapping(*this, option, QStyle::CE_RadioButton,
                QStyle::SE_RadioButtonContents,
                Qt::AlignLeft | Qt::AlignVCenter, QPalette::WindowText);
}

ListBox::ListBox(QWidget* parent) : QListView(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextElideMode(Qt::ElideNone);
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(
    const QModelIndex& index, const QEvent* event) const {
  const QItemSelectionModel::SelectionFlags flags =
      QListView::selectionCommand(index, event);
  if (!index.isValid() || flags.testFlag(QItemSelectionModel::Deselect)) {
    return QItemSelectionModel::NoUpdate;
  }
  return flags;
}

void ListBox::keyPressEvent(QKeyEvent* event) {
  static constexpr int kMovementKeys[] = {
      Qt::Key_Up,   Qt::Key_Down, Qt::Key_Left,   Qt::Key_Right,
      Qt::Key_Home, Qt::Key_End,  Qt::Key_PageUp, Qt::Key_PageDown};
  const QModelIndex marked = currentIndex();
  if (marked.isValid() && !selectionModel()->hasSelection() &&
      std::find(std::begin(kMovementKeys), std::end(kMovementKeys),
                event->key()) != std::end(kMovementKeys)) {
    selectionModel()->select(marked, QItemSelectionModel::ClearAndSelect);
    event->accept();
    return;
  }
  QListView::keyPressEvent(event);
}

void ListBox::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  // The style shows the focus on the current row only, so an empty list
  // draws it round the viewport here.
  if (!hasFocus() || currentIndex().isValid()) return;
  QStyleOptionFocusRect frame;
  frame.initFrom(this);
  frame.rect = viewport()->rect();
  frame.backgroundColor = palette().color(QPalette::Base);
  QPainter painter(viewport());
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

void ListBox::updateGeometries() {
  QListView::updateGeometries();
  // Neither the keyboard nor the wheel can scroll sideways.
  horizontalScrollBar()->setRange(0, 0);
}

LineWidget::LineWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::WindowText));
}

void KeepOneTabStop(QButtonGroup& group, QAbstractButton& first) {
  const auto update = [&group, &first] {
    QAbstractButton* stop =
        group.checkedButton() ? group.checkedButton() : &first;
    for (QAbstractButton* button : group.buttons()) {
      // Clicks and the arrow keys still reach the others.
      button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
  };
  update();
  QObject::connect(&group, &QButtonGroup::idToggled, &group, update);
}

}  // namespace ui
