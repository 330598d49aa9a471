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

// These controls behave as the desktop's own where Qt's behave otherwise.
namespace ui {

// A command button that Enter presses as Space does, while it has the focus;
// it is never a default button, so Enter elsewhere presses nothing. A double
// or triple click presses it once, so that a double click saves one card, not
// the card and then the emptied one. A wide caption wraps at its spaces.
class CommandButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // A press before this time, in the events' clock, ends a triple click.
  quint64 triple_click_until_ = 0;
};

// An option button that a click anywhere on its rectangle chooses, so that
// where it reacts does not depend on the font. The arrow keys move round its
// group, from the last option to the first and back, and choose the option
// they reach. A wide caption wraps at its spaces.
class OptionButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  bool hitButton(const QPoint& pos) const override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

// A list that keeps its one selected row until another is chosen: a click
// beside the rows or a Ctrl+click keeps it. With no row selected, the first
// movement key selects the marked row. A wide text is cut at the edge, never
// scrolled to, and the list shows its focus even when it is empty.
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

// A line that fills its geometry one pixel wide, as a QFrame line does not,
// and takes no mouse clicks from the controls around it.
class LineWidget : public QWidget {
 public:
  explicit LineWidget(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Makes an option group one tab stop: Tab reaches only the chosen option, or
// `first` while none is chosen, and the arrow keys move within the group.
void KeepOneTabStop(QButtonGroup& group, QAbstractButton& first);

}  // namespace ui
