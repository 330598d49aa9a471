#pragma once

#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

// The desktop controls that both windows are made of, where Qt's own
// behave otherwise.
namespace ui {

// A command button that the keyboard presses, while it has the focus, with
// Enter as well as Space, as the desktop's buttons answer; it is never a
// default button, so Enter elsewhere presses nothing. A double or a triple
// click presses it once, so that a clerk used to double clicks saves a card
// once, not once and then the emptied card. A caption too wide for one line
// wraps at its spaces.
class CommandButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // Till when a press is the third of a triple click, in the events' time.
  quint64 triple_click_until_ = 0;
};

// An option button that a click anywhere on its rectangle chooses, not only
// on its indicator and caption, so that where it reacts does not depend on
// the width of its caption in the font. The arrow keys move through its group
// in the order the options were added, from the last to the first and back,
// and choose the option they reach. A caption too wide for one line wraps at
// its spaces.
class OptionButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  bool hitButton(const QPoint& pos) const override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

// A list of texts with at most one selected row, which only choosing another
// row changes: a click beside the rows or Ctrl with a click on the selected
// row keeps it. While no row is selected, the first movement key selects the
// row that the focus marks instead of moving past it. A text wider than the
// list is cut at its edge, with no sideways scrolling; the list shows that it
// has the focus even with no row to mark.
class ListBox : public QListView {
 public:
  explicit ListBox(QWidget* parent);

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(
      const QModelIndex& index, const QEvent* event) const override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void updateGeometries() override;
};

// A line one pixel wide from end to end of its geometry, which a QFrame line
// is not; it takes no mouse clicks from the controls around it. Assistive
// technology reads it as a separator.
class LineWidget : public QWidget {
 public:
  explicit LineWidget(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Makes an option group one tab stop, the arrow keys moving within it: the
// chosen option, or `first` while none is chosen, is the only one that Tab
// reaches.
void KeepOneTabStop(QButtonGroup& group, QAbstractButton& first);

}  // namespace ui
