#pragma once

#include <QPointer>
#include <QWidget>
#include <filesystem>

class QHideEvent;
class QShortcut;
class QTextBrowser;

namespace ui {

// The clerk's guide tells how to use the program, what each kind of message
// means and where the card file is. F1 in either window opens it and F1 or
// Esc closes it; it is not modal, so that the windows keep working beside it.
class Guide : public QWidget {
  Q_OBJECT

 public:
  // Makes the guide, which shows the full path of `file` in the working
  // folder.
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

// Makes F1 in `window` a shortcut, not a control, so that the window's
// controls and tab order stay as they are.
QShortcut* HelpKey(QWidget* window);

}  // namespace ui
