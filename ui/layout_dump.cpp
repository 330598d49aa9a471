// Prints where each named control of both windows stands in its window's
// client area at 96 dpi, a line each: the window, the control, its left,
// top, width and height. The scripts that drive the program click where this
// says, so that the layout is written once, in the windows' tables.

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "card/subscriber_card.h"
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/form3.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ui::SetUpApplication();
  const QTemporaryDir folder;
  const std::filesystem::path file =
      folder.filePath(QStringLiteral("Blank.txt")).toStdString();
  card::SubscriberCard card;
  ui::Form1 form1(file);
  ui::Form3 form3(file, card);
  for (QWidget* window :
       {static_cast<QWidget*>(&form1), static_cast<QWidget*>(&form3)}) {
    for (const QWidget* control : window->findChildren<QWidget*>()) {
      if (control->objectName().isEmpty()) continue;
      const QPoint at = control->mapTo(window, QPoint());
      std::printf("%s %s %d %d %d %d\n", qPrintable(window->objectName()),
                  qPrintable(control->objectName()), at.x(), at.y(),
                  control->width(), control->height());
    }
  }
  return 0;
}
