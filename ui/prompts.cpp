#include "ui/prompts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>

#include "ui/messages.h"

namespace ui {
namespace {

int RunModal(QDialog& dialog, QWidget* parent) {
  const int result = dialog.exec();
  ReturnKeyboard(parent);
  return result;
}

}  // namespace

void ReturnKeyboard(QWidget* window) {
  if (window && window->isVisible()) window->activateWindow();
}

QString AskText(QWidget* parent, const QString& prompt,
                const QString& default_answer) {
  QInputDialog dialog(parent);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setLabelText(prompt);
  // A screen reader reads the dialog as it looks: the title bar shows the
  // program's name, the window the prompt, which also names its field.
  dialog.setAccessibleName(QCoreApplication::applicationName());
  dialog.setAccessibleDescription(prompt);
  // The dialog shows the default answer selected, so that the first
  // keystroke replaces it.
  dialog.setTextValue(default_answer);
  return RunModal(dialog, parent) == QDialog::Accepted ? dialog.textValue()
                                                       : QString();
}

YesNoBox::YesNoBox(QWidget* parent, const QString& title, const QString& text)
    : QMessageBox(QMessageBox::NoIcon, title, text,
                  QMessageBox::Yes | QMessageBox::No, parent) {
  setDefaultButton(QMessageBox::Yes);
  // A screen reader reads the title as the box's name, the text after it.
  setAccessibleDescription(text);
}

void YesNoBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Cancel)) {
    event->accept();
    return;
  }
  QMessageBox::keyPressEvent(event);
}

void YesNoBox::closeEvent(QCloseEvent* event) { event->ignore(); }

bool ConfirmClearing(QWidget* parent) {
  YesNoBox box(parent, Text(Message::kClearingTitle),
               Text(Message::kClearingQuestion));
  return RunModal(box, parent) == QMessageBox::Yes;
}

void ShowFailure(QWidget* parent, const QString& title,
                 const QString& message) {
  QMessageBox box(QMessageBox::Warning, title, message, QMessageBox::Ok,
                  parent);
  box.setAccessibleDescription(message);
  RunModal(box, parent);
}

}  // namespace ui
