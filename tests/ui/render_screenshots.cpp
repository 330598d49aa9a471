// Renders both windows to PNG files for the README, on the offscreen
// platform: the card window with a sample subscriber, and the search window
// with the results of a search, one of which it shows. Usage:
// render-screenshots FOLDER
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdio>

#include "ui/form1.h"
#include "ui/form3.h"
#include "ui_test_support.h"

namespace {

bool Save(QWidget* window, const QDir& folder, const char* name) {
  return window->grab().save(folder.filePath(QString::fromUtf8(name)));
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fputs("usage: render-screenshots FOLDER\n", stderr);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // The same pictures on every machine, in a font about as wide as the
  // 8-point Windows dialog font that the layout was drawn for.
  QApplication::setStyle(QStringLiteral("Fusion"));
  QFont font(QStringLiteral("DejaVu Sans"), 8);
  font.setStretch(QFont::Condensed);
  QApplication::setFont(font);
  const QDir folder(
      QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));

  ui_test::DialogDriver dialogs;
  ui_test::CardWindowFixture card;
  const std::vector<std::pair<int, QString>> amounts = {
      {6, "12,5"}, {7, "10"}, {9, "48,3"}, {10, "40"}};
  const std::vector<std::pair<int, QString>> cards[] = {
      {{0, "Вулимов"},
       {1, "Пётр"},
       {2, "Ильич"},
       {3, "Садовая,12-4"},
       {4, "223344"},
       {5, "100231"}},
      {{0, "Вулимов"},
       {1, "Анна"},
       {2, "Сергеевна"},
       {3, "Лесная,3-17"},
       {4, "225061"},
       {5, "100587"}},
      {{0, "Кравец"},
       {1, "Олег"},
       {2, "Иванович"},
       {3, "Мира,40-2"},
       {4, "221190"},
       {5, "100912"}},
  };
  for (auto cells : cards) {
    cells.insert(cells.end(), amounts.begin(), amounts.end());
    card.SaveCard(cells);
  }

  // The found card is shown recomputed under this benefit.
  ui_test::ClickOption(card.form1().findChild<QRadioButton*>("Option3"));
  ui::Form3* form3 = card.OpenSearch();
  ui_test::ClickOption(form3->findChild<QRadioButton*>("Option1"));
  // The prompt's own default answer is the surname saved above.
  dialogs.Expect(
      [](QWidget* prompt) { QTest::keyClick(prompt, Qt::Key_Return); });
  QTest::mouseClick(form3->findChild<QPushButton*>("Command1"), Qt::LeftButton);
  ui_test::ClickRow(form3->findChild<QListView*>("List1(0)"), 1);
  const bool saved_form3 = Save(form3, folder, "form3.png");

  QTest::mouseClick(form3->findChild<QPushButton*>("Command4"), Qt::LeftButton);
  const bool saved_form1 = Save(&card.form1(), folder, "form1.png");

  const QStringList problems = dialogs.TakeProblems();
  if (!saved_form1 || !saved_form3 || !problems.isEmpty()) {
    std::fprintf(stderr, "render-screenshots: %s\n",
                 qPrintable(problems.isEmpty() ? "cannot write the pictures"
                                               : problems.join(u'\n')));
    return 1;
  }
  return 0;
}
