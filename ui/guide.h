#pragma once

#include <QPointer>
#include <QWidget>
#include <filesystem>

class QHideEvent;
class QShortcut;
class QTextBrowser;

namespace ui {

// The clerk's guide, in Russian: the card and its sums, saving, searching,
// what each kind of message means, where the card file is and what may be
// done to it, the program's version and licence. A window of its own, not
// modal, that F1 in the card or the search window opens and F1 or Esc
// closes; the windows keep working beside it.
class Guide : public QWidget {
  Q_OBJECT

 public:
  // The guide of a program that keeps its cards in `file`, whose full path,
  // from the working folder, the guide shows.
  explicit Guide(const std::filesystem::path& file);

  // Shows the guide, or brings it to the front, with the keyboard in it;
  // once it closes, the keyboard goes back to `from`.
  void Open(QWidget* from);

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  QTextBrowser* text_;
  QPointer<QWidget> from_;
  bool placed_ = false;
};

// F1 in `window`, which opens the guide: a shortcut, not a control, so that
// the window's controls and tab order stay as they are.
QShortcut* HelpKey(QWidget* window);

}  // namespace ui
