#include "ui/prompts.h"

#include <QCloseEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>

namespace ui {

QString AskText(QWidget* parent, const QString& prompt,
                const QString& default_answer) {
  QInputDialog dialog(parent);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setLabelText(prompt);
  // Shown selected, so that the first keystroke replaces it.
  dialog.setTextValue(default_answer);
  return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
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
  return box.exec() == QMessageBox::Yes;
}

}  // namespace ui
