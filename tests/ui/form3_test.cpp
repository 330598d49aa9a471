#include "ui/form3.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <string>
#include <utility>

#include "records/file_system.h"
#include "tests/support/cp1251_bytes.h"
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/text_limits.h"
#include "ui_test_support.h"

using ui_test::CardWindowFixture;

namespace {

template <typename Control = QWidget>
Control* Find(QWidget* window, const QString& name) {
  return window->findChild<Control*>(name);
}

QListView* List(QWidget* form3, int column) {
  return Find<QListView>(form3, QStringLiteral("List1(%1)").arg(column));
}

// The one row selected in a list; -1 for none or several.
int SelectedRow(const QListView* list) {
  const QModelIndexList rows = list->selectionModel()->selectedIndexes();
  return rows.size() == 1 ? rows.front().row() : -1;
}

void Press(QWidget* form3, const char* button) {
  QTest::mouseClick(Find<QPushButton>(form3, QString::fromUtf8(button)),
                    Qt::LeftButton);
}

// Answers a search prompt: checks its text and default answer, wholly
// selected, then types `answer` over it (unless null) and presses OK.
ui_test::DialogDriver::Answer AnswerPrompt(const QString& prompt,
                                           const QString& default_answer,
                                           const QString& answer) {
  return [=](QWidget* dialog) {
    auto* input = qobject_cast<QInputDialog*>(dialog);
    QVERIFY(input);
    QCOMPARE(input->labelText(), prompt);
    auto* field = input->findChild<QLineEdit*>();
    QCOMPARE(QApplication::focusWidget(), field);
    QCOMPARE(field->text(), default_answer);
    QCOMPARE(field->selectedText(), default_answer);
    if (!answer.isNull())
      ui_test::Type(field, answer.isEmpty() ? "\b" : answer);
    QTest::keyClick(field, Qt::Key_Return);
  };
}

// Notes, each time `shown` is shown, whether `other` is visible.
class ShowWatcher : public QObject {
 public:
  ShowWatcher(QWidget* shown, QWidget* other) : other_(other) {
    shown->installEventFilter(this);
  }

  QList<bool> other_visible;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) other_visible << other_->isVisible();
    return false;
  }

 private:
  QWidget* other_;
};

}  // namespace

class Form3Test : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::SetUpApplication(); }

  void cleanup() { dialogs_.VerifyNoProblems(); }

  // Saves two cards, finds both, views the second under another benefit. The
  // search window is made at the first "Поиск" and kept; "Просмотр" loads the
  // columns that no list shows too.
  void roadOfACard() {
    CardWindowFixture card;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      QVERIFY(!qobject_cast<ui::Form3*>(window));
    }
    card.SaveCard({{0, "Петров"}, {1, "Иван"}});
    card.SaveCard({{0, "Сидоров"}});
    card.SaveCard({{0, "Петров"},
                   {1, "Пётр"},
                   {3, "Краснопресненская,1"},
                   {4, "22"},
                   {5, "77"},
                   {6, "10"},
                   {7, "4"},
                   {9, "7"},
                   {10, "2"}});
    ui_test::ClickOption(Find<QRadioButton>(&card.form1(), "Option4"));

    ui::Form3* form3 = card.OpenSearch();
    ui_test::ClickOption(Find<QRadioButton>(form3, "Option1"));
    dialogs_.Expect(AnswerPrompt("Ввод фамилии", "Вулимов", "Петров"));
    Press(form3, "Command1");
    QCOMPARE(ui_test::Rows(List(form3, 0)), QStringList({"Петров", "Петров"}));
    QCOMPARE(ui_test::Rows(List(form3, 1)), QStringList({"Иван", "Пётр"}));
    QCOMPARE(ui_test::Rows(List(form3, 4)), QStringList({"", "22"}));
    QCOMPARE(ui_test::Rows(List(form3, 5)), QStringList({"", "77"}));
    // A text wider than its column is cut at the edge, not scrolled to, once
    // the column is laid out.
    QApplication::processEvents();
    QCOMPARE(List(form3, 3)->horizontalScrollBar()->maximum(), 0);

    ui_test::ClickRow(List(form3, 0), 1);
    Press(form3, "Command4");
    QVERIFY(card.form1().isVisible());
    QVERIFY(!form3->isVisible());
    const QStringList shown = {"Петров", "Пётр", "",    "Краснопресненская,1",
                               "22",     "77",   "10",  "4",
                               "3",      "7",    "2",   "2,5",
                               "8,5",    "3",    "2,75"};
    for (int i = 0; i < 15; ++i) QCOMPARE(card.CellText(i), shown[i]);

    // The same window again, with its rows and its mode.
    QCOMPARE(card.OpenSearch(), form3);
    QCOMPARE(List(form3, 0)->model()->rowCount(), 2);
    QVERIFY(Find<QRadioButton>(form3, "Option1")->isChecked());
  }

  // Cards with the telephones 7, 07 and 8 and the accounts 1, 2 and 3. An
  // answer given up searches for the empty text.
  void prompts_data() {
    QTest::addColumn<int>("mode");        // the option's number
    QTest::addColumn<QString>("answer");  // "cancel", "escape", "close" or keys
    QTest::addColumn<QStringList>("found");  // account numbers
    QTest::newRow("surname default") << 1 << "" << QStringList{"2"};
    QTest::newRow("surname cancelled finds empty surnames")
        << 1 << "cancel" << QStringList{"1"};
    QTest::newRow("surname escaped") << 1 << "escape" << QStringList{"1"};
    QTest::newRow("surname closed") << 1 << "close" << QStringList{"1"};
    QTest::newRow("first name") << 2 << "Анна" << QStringList{"2"};
    QTest::newRow("telephone cancelled finds nothing")
        << 3 << "cancel" << QStringList{};
  }

  void prompts() {
    QFETCH(int, mode);
    QFETCH(QString, answer);
    QFETCH(QStringList, found);
    const QString prompts[] = {"Ввод фамилии", "Ввод имени", "Ввод телефона"};
    CardWindowFixture card;
    card.SaveCard({{4, "7"}, {5, "1"}});
    card.SaveCard({{0, "Вулимов"}, {1, "Анна"}, {4, "07"}, {5, "2"}});
    card.SaveCard({{0, "вулимов"}, {1, "анна"}, {4, "8"}, {5, "3"}});
    ui::Form3* form3 = card.OpenSearch();
    ui_test::ClickOption(
        Find<QRadioButton>(form3, QStringLiteral("Option%1").arg(mode)));
    dialogs_.Expect([&](QWidget* dialog) {
      auto* input = qobject_cast<QInputDialog*>(dialog);
      QVERIFY(input);
      if (answer == "cancel") {
        QTest::mouseClick(input->findChild<QDialogButtonBox*>()->button(
                              QDialogButtonBox::Cancel),
                          Qt::LeftButton);
      } else if (answer == "escape") {
        QTest::keyClick(input, Qt::Key_Escape);
      } else if (answer == "close") {
        input->close();
      } else {
        AnswerPrompt(prompts[mode - 1], mode == 1 ? "Вулимов" : "",
                     answer.isEmpty() ? QString() : answer)(dialog);
      }
    });
    Press(form3, "Command1");
    QCOMPARE(ui_test::Rows(List(form3, 5)), found);
  }

  void failuresSaidBeforeOrAfterThePrompt() {
    CardWindowFixture card;
    ui::Form3* form3 = card.OpenSearch();
    QString message;
    // No file: the message comes instead of the prompt.
    ui_test::ClickOption(Find<QRadioButton>(form3, "Option1"));
    dialogs_.Expect(ui_test::ReadMessage(message));
    Press(form3, "Command1");
    QVERIFY(message.contains("Blank.txt"));

    Press(form3, "Command3");
    card.SaveCard({{4, "7"}});
    card.OpenSearch();
    ui_test::ClickOption(Find<QRadioButton>(form3, "Option3"));
    dialogs_.Expect(AnswerPrompt("Ввод телефона", "", "семь"));
    dialogs_.Expect(ui_test::ReadMessage(message));
    Press(form3, "Command1");
    QVERIFY(message.contains("семь"));
    QCOMPARE(List(form3, 0)->model()->rowCount(), 0);
  }

  // A search that finds another copy saving waits for it in the wait window,
  // then lists what that copy saved.
  void searchWaitsForASavingCopy() {
    CardWindowFixture card;
    card.SaveCard({{0, QStringLiteral("Иванов")}});
    records::FileSystem& files = records::PlatformFileSystem();
    auto other = files.OpenForAppend(card.File());
    QVERIFY(other.ok() &&
            files.TryLock(other.value().handle, records::LockKind::kExclusive)
                .value());
    ui::Form3* form3 = card.OpenSearch();
    ui_test::ClickOption(Find<QRadioButton>(form3, "Option1"));
    dialogs_.Expect(AnswerPrompt("Ввод фамилии", "Вулимов", "Иванов"));
    dialogs_.ExpectClosingByItself([&](QWidget* dialog) {
      QCOMPARE(ui_test::Describe(dialog),
               QStringLiteral("Поиск: Файл «Blank.txt» занят другой копией "
                              "программы. Ожидание…"));
      files.Close(other.value().handle);
    });
    Press(form3, "Command1");
    QCOMPARE(ui_test::Rows(List(form3, 0)), QStringList{"Иванов"});
  }

  void noModeAsksNothing() {
    CardWindowFixture card;
    card.SaveCard({});
    ui::Form3* form3 = card.OpenSearch();
    Press(form3, "Command1");  // a prompt here would be unexpected
    QCOMPARE(List(form3, 0)->model()->rowCount(), 0);
  }

  // Each column selects on its own; only choosing another row of the surname
  // column changes what is viewed.
  void selectingRows() {
    CardWindowFixture card;
    card.SaveCard({{0, "Ли"}, {1, "Ан"}});
    card.SaveCard({{0, "Ли"}, {1, "Юй"}});
    ui::Form3* form3 = card.OpenSearch();
    SearchSurname(form3, "Ли");
    QListView* surnames = List(form3, 0);
    ui_test::ClickRow(List(form3, 1), 1);
    QCOMPARE(SelectedRow(surnames), -1);
    Press(form3, "Command4");  // only the surname column counts
    QVERIFY(form3->isVisible());
    ui_test::ClickRow(surnames, 1);
    QCOMPARE(SelectedRow(List(form3, 1)), 1);
    QTest::mouseClick(
        surnames->viewport(), Qt::LeftButton, Qt::NoModifier,
        surnames->viewport()->rect().bottomLeft() + QPoint(4, -4));
    QCOMPARE(SelectedRow(surnames), 1);
    QTest::mouseClick(
        surnames->viewport(), Qt::LeftButton, Qt::ControlModifier,
        surnames->visualRect(surnames->model()->index(1, 0)).center());
    QCOMPARE(SelectedRow(surnames), 1);
    QTest::keyClick(surnames, Qt::Key_Up);
    QCOMPARE(SelectedRow(surnames), 0);
    Press(form3, "Command4");
    QCOMPARE(card.CellText(1), QStringLiteral("Ан"));
  }

  // The first arrow selects the row that the focus marks, the next moves on.
  // A list box shows the start of a long text, marked as cut; "Просмотр"
  // loads a text as long as a cell holds whole, and refuses a longer one,
  // saying so, with the card as it was.
  void longTextsCutInListsAndViewedWhole() {
    CardWindowFixture card;
    const std::size_t longest = ui::kCellCharacters;
    QFile file(card.FilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const std::size_t length : {longest + 1, longest}) {
      file.write(QByteArray::fromStdString(
          test_support::Cp1251("Ли Ан Ия ") + std::string(length, '\xE6') +
          " 7 1 1,3 0 1,3 0 0 0 1,3 0 1,3 \r\n"));
    }
    file.close();
    ui::Form3* form3 = card.OpenSearch();
    SearchSurname(form3, "Ли");
    const QString start = QString(ui::kListItemCharacters, u'ж') + u'…';
    QCOMPARE(ui_test::Rows(List(form3, 3)), QStringList({start, start}));

    QString message;
    dialogs_.Expect(ui_test::ReadMessage(message));
    ui_test::ClickRow(List(form3, 0), 0);
    Press(form3, "Command4");
    QVERIFY(message.contains(QStringLiteral("«Адрес абонента»")));
    QVERIFY(form3->isVisible());
    QCOMPARE(card.CellText(0), QString());

    ui_test::ClickRow(List(form3, 0), 1);
    Press(form3, "Command4");
    QVERIFY(card.form1().isVisible());
    QCOMPARE(card.CellText(3), QString(longest, u'ж'));
  }

  // Enter presses the focused button; on a list, or with a mode's option
  // chosen by an arrow key, nothing.
  void keysOfTheSearchWindow() {
    CardWindowFixture card;
    ui::Form3* form3 = card.OpenSearch();
    // An option chosen by an arrow key, then Enter on it.
    QCOMPARE(ui_test::PressTab()->objectName(), QStringLiteral("Option2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QVERIFY(Find<QRadioButton>(form3, "Option1")->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    Find(form3, "List1(0)")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(form3->isVisible());
    Find(form3, "Command3")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter,
                    Qt::KeypadModifier);
    QVERIFY(!form3->isVisible());
    QVERIFY(card.form1().isVisible());
  }

  void optionsChosenAnywhereOnThem() {
    CardWindowFixture card;
    ui::Form3* form3 = card.OpenSearch();
    for (const char* name : {"Option1", "Option2", "Option3"}) {
      auto* option = Find<QRadioButton>(form3, name);
      QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier,
                        QPoint(option->width() - 2, option->height() / 2));
      QVERIFY2(option->isChecked(), name);
    }
  }

  // An address with a space shifts the account number into the charge.
  void viewedCardMarksItsFailingCell() {
    CardWindowFixture card;
    card.SaveCard({{0, "Ли"}, {3, "Мира 4"}, {5, "Б17"}});
    ui::Form3* form3 = card.OpenSearch();
    SearchSurname(form3, "Ли");
    ui_test::ClickRow(List(form3, 0), 0);
    Press(form3, "Command4");
    QCOMPARE(card.CellText(6), QStringLiteral("Б17"));
    QCOMPARE(card.Cell(6)->toolTip(), QStringLiteral("Не число"));
  }

  void tabOrder() {
    CardWindowFixture card;
    ui::Form3* form3 = card.OpenSearch();
    QCOMPARE(ui_test::PressTab()->objectName(), QStringLiteral("Option2"));
    // An empty column shows that it has the focus.
    const QImage unfocused = List(form3, 2)->grab().toImage();
    QCOMPARE(ui_test::PressTab(), List(form3, 2));
    QVERIFY(List(form3, 2)->grab().toImage() != unfocused);
    const QStringList unchosen = {"List1(1)", "List1(0)", "Command1",
                                  "List1(3)", "List1(4)", "Command3",
                                  "Command4", "List1(5)", "Command2"};
    for (const QString& name : unchosen) {
      QCOMPARE(ui_test::PressTab()->objectName(), name);
    }
    ui_test::ClickOption(Find<QRadioButton>(form3, "Option3"));
    Find(form3, "List1(4)")->setFocus();
    QCOMPARE(ui_test::PressTab()->objectName(), QStringLiteral("Option3"));
    QCOMPARE(ui_test::PressTab()->objectName(), QStringLiteral("Command3"));
  }

  // Whichever way the clerk leaves a window, the other one is shown first
  // when going back to the card, second when going to the search; the close
  // box acts as "Назад".
  void oneWindowShownAtATime_data() {
    QTest::addColumn<QString>("leave");
    QTest::newRow("Назад") << "Command3";
    QTest::newRow("Просмотр") << "Command4";
    QTest::newRow("close box") << "close";
  }

  void oneWindowShownAtATime() {
    QFETCH(QString, leave);
    CardWindowFixture card;
    card.SaveCard({{0, "Ли"}});
    ui::Form3* form3 = card.OpenSearch();
    SearchSurname(form3, "Ли");
    ui_test::ClickRow(List(form3, 0), 0);
    ShowWatcher card_shown(&card.form1(), form3);
    ShowWatcher search_shown(form3, &card.form1());
    if (leave == "close") {
      form3->close();
    } else {
      Press(form3, qPrintable(leave));
    }
    QVERIFY(!form3->isVisible());
    QCOMPARE(card.OpenSearch(), form3);
    QVERIFY(!card.form1().isVisible());
    QCOMPARE(card_shown.other_visible, QList<bool>{true});
    QCOMPARE(search_shown.other_visible, QList<bool>{false});
  }

  // Last, since it runs the application's event loop to its end. Neither the
  // hidden search window nor the guide left open keeps the program running.
  void closingTheCardWindowEndsTheProgram() {
    CardWindowFixture card;
    Press(card.OpenSearch(), "Command3");
    QVERIFY(QTest::qWaitForWindowActive(&card.form1()));
    QTest::keyClick(&card.form1(), Qt::Key_F1);
    QTimer give_up;
    give_up.setSingleShot(true);
    connect(&give_up, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    give_up.start(10000);
    QTimer::singleShot(0, &card.form1(), [&card] { card.form1().close(); });
    QCOMPARE(QApplication::exec(), 0);
  }

 private:
  // Chooses the surname mode and searches for `surname`.
  void SearchSurname(QWidget* form3, const QString& surname) {
    ui_test::ClickOption(Find<QRadioButton>(form3, "Option1"));
    dialogs_.Expect(AnswerPrompt("Ввод фамилии", "Вулимов", surname));
    Press(form3, "Command1");
  }

  ui_test::DialogDriver dialogs_;
};

QTEST_MAIN(Form3Test)
#include "form3_test.moc"
