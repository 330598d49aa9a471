#pragma once

#include <QMessageBox>
#include <QString>

class QCloseEvent;
class QKeyEvent;
class QWidget;

namespace ui {

// Makes `window`, if shown, active again after a dialog over it has closed:
// a bare X server and the offscreen platform leave no window active, so the
// keyboard would reach nothing.
void ReturnKeyboard(QWidget* window);

// AskText, ConfirmClearing and ShowFailure return with the window of
// `parent` active again, its focus where it was.

// Asks for one line of text in a modal window: the prompt, a field holding
// `default_answer` wholly selected, OK and Cancel. No title is passed. OK
// gives the field's text; Cancel, Esc and the close box give the empty text.
QString AskText(QWidget* parent, const QString& prompt,
                const QString& default_answer);

// A Yes/No question that only Yes or No ends: Esc and the close box, which a
// plain message box takes for No, do nothing here.
class YesNoBox : public QMessageBox {
  Q_OBJECT

 public:
  // Shows no icon; Yes is the default button.
  YesNoBox(QWidget* parent, const QString& title, const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
};

// Returns whether the clerk answers Yes to clearing the list.
bool ConfirmClearing(QWidget* parent);

// Tells the clerk why an action failed, in a modal box with OK.
void ShowFailure(QWidget* parent, const QString& title, const QString& message);

}  // namespace ui
