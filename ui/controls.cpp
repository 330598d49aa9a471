#include "ui/controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QtMath>
#include <algorithm>
#include <iterator>

namespace ui {
namespace {

int TwipsToPixels(int twips) { return qRound(twips / kTwipsPerPixel); }

}  // namespace

QRect Pixels(const Twips& twips) {
  const int left = TwipsToPixels(twips.left);
  const int top = TwipsToPixels(twips.top);
  return QRect(left, top, TwipsToPixels(twips.left + twips.width) - left,
               TwipsToPixels(twips.top + twips.height) - top);
}

QSize TwipsSize(int width, int height) {
  return QSize(TwipsToPixels(width), TwipsToPixels(height));
}

void CommandButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
    QPushButton::keyPressEvent(event);
    return;
  }
  // A held key presses the button once, as a held Space does.
  if (!event->isAutoRepeat()) click();
  event->accept();
}

bool OptionButton::hitButton(const QPoint& pos) const {
  return rect().contains(pos);
}

void OptionButton::keyPressEvent(QKeyEvent* event) {
  QRadioButton::keyPressEvent(event);
  const int key = event->key();
  if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Left &&
      key != Qt::Key_Right) {
    return;
  }
  // Qt clicks the option that an arrow reaches only when the one it leaves
  // was chosen.
  auto* reached = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
  if (reached && reached != this && group() &&
      group()->buttons().contains(reached) && !reached->isChecked()) {
    reached->click();
  }
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

QLabel* PlaceLabel(QWidget* parent, const Placed& placed) {
  auto* label = Place<QLabel>(parent, placed);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  return label;
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
