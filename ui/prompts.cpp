#include "ui/prompts.h"

#include <QCloseEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>

namespace ui {
namespace {

// Some platforms (a bare X server, the offscreen one) leave no window active
// when a dialog closes, so that the keyboard would reach nothing.
int RunModal(QDialog& dialog, QWidget* parent) {
  const int result = dialog.exec();
  parent->activateWindow();
  return result;
}

}  // namespace

QString AskText(QWidget* parent, const QString& prompt,
                const QString& default_answer) {
  QInputDialog dialog(parent);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setLabelText(prompt);
  // Shown selected, so that the first keystroke replaces it.
  dialog.setTextValue(default_answer);
  return RunModal(dialog, parent) == QDialog::Accepted ? dialog.textValue()
                                                       : QString();
}

YesNoBox::YesNoBox(QWidget* parent, const QString& title, const QString& text)
    : QMessageBox(QMessageBox::NoIcon, title, text,
                  QMessageBox::Yes | QMessageBox::No, parent) {
  setDefaultButton(QMessageBox::Yes);
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
  YesNoBox box(parent, QStringLiteral("Делете"),
               QStringLiteral("Удалить нынешний список"));
  return RunModal(box, parent) == QMessageBox::Yes;
}

void ShowFailure(QWidget* parent, const QString& title,
                 const QString& message) {
  QMessageBox box(QMessageBox::Warning, title, message, QMessageBox::Ok,
                  parent);
  RunModal(box, parent);
}

}  // namespace ui
