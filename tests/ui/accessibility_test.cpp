// What a clerk who cannot see the screen or use a mouse meets: the names,
// roles and states that assistive technology reads from both windows and
// their dialogs, through the toolkit's accessibility layer (the one that
// feeds AT-SPI on Linux and UI Automation on Windows), and the whole road of
// a card driven by keys alone.

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QMetaEnum>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>
#include <utility>

#include "card/subscriber_record.h"
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/form3.h"
#include "ui/prompts.h"
#include "ui/waiting.h"
#include "ui_test_support.h"

using ui_test::CardWindowFixture;

namespace {

QString RoleName(QAccessible::Role role) {
  return QString::fromLatin1(
      QMetaEnum::fromType<QAccessible::Role>().valueToKey(role));
}

// The states a screen reader speaks of, by name.
QStringList StateNames(const QAccessible::State& state) {
  const std::pair<bool, const char*> states[] = {
      {state.invisible, "invisible"}, {state.disabled, "disabled"},
      {state.focusable, "focusable"}, {state.focused, "focused"},
      {state.checkable, "checkable"}, {state.checked, "checked"},
      {state.editable, "editable"},   {state.readOnly, "read-only"},
      {state.selected, "selected"},   {state.defaultButton, "default"},
      {state.modal, "modal"},
  };
  QStringList names;
  for (const auto& [set, name] : states) {
    if (set) names << QString::fromLatin1(name);
  }
  return names;
}

// One node as a line: role "name" (description) = value, [states].
QString Line(QAccessibleInterface* node) {
  QString line = RoleName(node->role()) + QStringLiteral(" \"") +
                 node->text(QAccessible::Name) + u'"';
  const QString description = node->text(QAccessible::Description);
  if (!description.isEmpty()) line += QStringLiteral(" (%1)").arg(description);
  if (QAccessibleValueInterface* value = node->valueInterface()) {
    line += QStringLiteral(" = %1 of %2..%3")
                .arg(value->currentValue().toString(),
                     value->minimumValue().toString(),
                     value->maximumValue().toString());
  }
  const QStringList states = StateNames(node->state());
  if (!states.isEmpty()) line += QStringLiteral(" [%1]").arg(states.join(u','));
  return line;
}

// The node and every node below it, in the order a screen reader walks
// them, indented by depth.
void Walk(QAccessibleInterface* node, int depth, QStringList& lines) {
  lines << QString(depth * 2, u' ') + Line(node);
  for (int i = 0; i < node->childCount(); ++i) {
    QAccessibleInterface* child = node->child(i);
    // Each child knows its parent: the walk is the tree the bridges send.
    if (child->parent() != node) lines << QStringLiteral("(orphan)");
    Walk(child, depth + 1, lines);
  }
}

QStringList Tree(QObject* object) {
  QStringList lines;
  Walk(QAccessible::queryAccessibleInterface(object), 0, lines);
  return lines;
}

// Compares line by line, so that a failure names the first line that
// differs.
void CompareTrees(const QStringList& actual, const QStringList& expected) {
  if (actual != expected) qWarning().noquote() << actual.join(u'\n');
  for (qsizetype i = 0; i < qMin(actual.size(), expected.size()); ++i) {
    QCOMPARE(actual[i], expected[i]);
  }
  QCOMPARE(actual.size(), expected.size());
}

// A key as the keyboard gives it: to the window that has the focus.
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWindow* window = QGuiApplication::focusWindow();
  QVERIFY(window);
  QTest::keyClick(window, key, modifiers);
}

// Typed key by key into the window that has the focus.
void Type(const QString& text) {
  for (const QChar character : text) {
    QTest::sendKeyEvent(QTest::Click, QGuiApplication::focusWindow(),
                        Qt::Key_unknown, QString(character), Qt::NoModifier);
  }
}

// Tab, or Shift+Tab, `times` over; the name of the control reached.
QString Tab(int times = 1, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  for (int i = 0; i < times; ++i) Key(Qt::Key_Tab, modifiers);
  return ui_test::FocusedName();
}

QString BackTab(int times = 1) { return Tab(times, Qt::ShiftModifier); }

// An answer that reads the dialog's tree into `tree`, then presses `key`.
ui_test::DialogDriver::Answer ReadTree(QStringList& tree, Qt::Key key) {
  return [&tree, key](QWidget* dialog) {
    tree = Tree(dialog);
    Key(key);
  };
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::SetUpApplication(); }

  void cleanup() { dialogs_.VerifyNoProblems(); }

  // Every cell named by the caption beside or above it, the billing cells
  // by their row and column; the frames as groups, the benefit options in
  // theirs; nothing hidden.
  void cardWindow() {
    CardWindowFixture card;
    CompareTrees(
        Tree(&card.form1()),
        {
            R"(Window "Form1")",
            R"(  Separator "")",
            R"(  Separator "")",
            R"(  Separator "")",
            R"(  Separator "")",
            R"(  Grouping "Абонент телефонной сети " Korvant "")",
            R"(    StaticText "Фамилия" [read-only])",
            R"(    StaticText "Имя" [read-only])",
            R"(    StaticText "Отчество" [read-only])",
            R"(  Grouping "Адрес абонента")",
            R"(  Grouping "Номер абонента")",
            R"(  Grouping "Лицевой счет")",
            R"(  Grouping "Льготы")",
            R"(    RadioButton "0%" [focusable,checkable,checked])",
            R"(    RadioButton "20%" [focusable,checkable])",
            R"(    RadioButton "25%" [focusable,checkable])",
            R"(    RadioButton "50%" [focusable,checkable])",
            R"(  StaticText "Вид услуг" [read-only])",
            R"(  StaticText "Начислено" [read-only])",
            R"(  StaticText "Погашено" [read-only])",
            R"(  StaticText "К оплате" [read-only])",
            R"(  StaticText "Абонентская плата" [read-only])",
            R"(  StaticText "Повременная плата" [read-only])",
            R"(  StaticText "Итого" [read-only])",
            R"(  EditableText "Фамилия" [focusable,focused,editable])",
            R"(  EditableText "Имя" [focusable,editable])",
            R"(  EditableText "Отчество" [focusable,editable])",
            R"(  EditableText "Адрес абонента" [focusable,editable])",
            R"(  EditableText "Номер абонента" [focusable,editable])",
            R"(  EditableText "Лицевой счет" [focusable,editable])",
            R"(  EditableText "Абонентская плата, начислено" [focusable,editable])",
            R"(  EditableText "Абонентская плата, погашено" [focusable,editable])",
            R"(  EditableText "Абонентская плата, к оплате" (Вычисляется программой) [focusable,editable])",
            R"(  EditableText "Повременная плата, начислено" [focusable,editable])",
            R"(  EditableText "Повременная плата, погашено" [focusable,editable])",
            R"(  EditableText "Повременная плата, к оплате" (Вычисляется программой) [focusable,editable])",
            R"(  EditableText "Итого, начислено" (Вычисляется программой) [focusable,editable])",
            R"(  EditableText "Итого, погашено" (Вычисляется программой) [focusable,editable])",
            R"(  EditableText "Итого, к оплате" (Вычисляется программой) [focusable,editable])",
            R"(  Button "Поиск" [focusable])",
            R"(  Button "Записать" [focusable])",
        });
  }

  // A screen reader rebuilds the line it speaks from the runs of text
  // attributes: a run short of the text's end cut its last character off
  // ("1,3" heard as "1,"). Every cell's text, and the prompt's field, is
  // one run and reads whole as the value.
  void textsReadWhole() {
    CardWindowFixture card;
    card.Retype(0, QStringLiteral("Иванов"));
    QStringList cut;
    const auto read = [&cut](QLineEdit* box) {
      QAccessibleInterface* node = QAccessible::queryAccessibleInterface(box);
      const QString whole = box->text();
      if (node->text(QAccessible::Value) != whole) cut << box->objectName();
      for (int offset = 0; offset < whole.size(); ++offset) {
        int start = -1;
        int end = -1;
        node->textInterface()->attributes(offset, &start, &end);
        if (start != 0 || end != whole.size()) {
          cut << QStringLiteral("%1 at %2: %3..%4")
                     .arg(box->objectName())
                     .arg(offset)
                     .arg(start)
                     .arg(end);
        }
      }
    };
    for (int i = 0; i < card::kFieldCount; ++i) read(card.Cell(i));
    dialogs_.Expect([&read](QWidget* dialog) {
      read(dialog->findChild<QLineEdit*>());
      Key(Qt::Key_Escape);
    });
    ui::AskText(&card.form1(), QStringLiteral("Ввод фамилии"),
                QStringLiteral("Вулимов"));
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
  }

  // A value that assistive technology sets, and an option that it chooses,
  // reach the card as the clerk's typing and click do.
  void assistiveTechnologyActsAsTheClerk() {
    CardWindowFixture card;
    QAccessible::queryAccessibleInterface(card.Cell(9))
        ->setText(QAccessible::Value, QStringLiteral("2"));
    QCOMPARE(card.CellText(12), QStringLiteral("3,3"));
    QAccessible::queryAccessibleInterface(
        card.form1().findChild<QRadioButton*>("Option3"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(card.CellText(8), QStringLiteral("0,325"));
  }

  // Each visible column named by its header, its rows as its items, the
  // focus and the selection on the row; the hidden columns nowhere.
  void searchWindow() {
    CardWindowFixture card;
    card.SaveCard({{0, "Ли"}, {1, "Ан"}, {3, "Мира,4"}, {4, "22"}, {5, "77"}});
    card.SaveCard({{0, "Ли"}, {1, "Юй"}});
    ui::Form3* form3 = card.OpenSearch();
    ui_test::ClickOption(form3->findChild<QRadioButton*>("Option1"));
    dialogs_.Expect([](QWidget*) {
      Type("Ли");
      Key(Qt::Key_Return);
    });
    QTest::mouseClick(form3->findChild<QPushButton*>("Command1"),
                      Qt::LeftButton);
    auto* surnames = form3->findChild<QListView*>("List1(0)");
    ui_test::ClickRow(surnames, 1);
    QTRY_VERIFY(surnames->hasFocus());  // once the window is active again
    CompareTrees(
        Tree(form3),
        {
            R"(Window "Form3")",
            R"(  RadioButton "По фамилиям" [focusable,checkable,checked])",
            R"(  RadioButton "По именам" [focusable,checkable])",
            R"(  RadioButton "По телефону" [focusable,checkable])",
            R"(  Button "Искать" [focusable])",
            R"(  Button "Очистка списка" [focusable])",
            R"(  Button "Назад" [focusable])",
            R"(  Button "Просмотр" [focusable])",
            R"(  StaticText "Лицевой счет" [read-only])",
            R"(  StaticText "Фамилия" [read-only])",
            R"(  StaticText "Имя" [read-only])",
            R"(  StaticText "Отчество" [read-only])",
            R"(  StaticText "Улица" [read-only])",
            R"(  StaticText "Телефон" [read-only])",
            R"(  List "Фамилия" [focusable,focused])",
            R"(    ListItem "Ли" [focusable])",
            R"(    ListItem "Ли" [focusable,focused,selected])",
            R"(  List "Имя" [focusable])",
            R"(    ListItem "Ан" [focusable])",
            R"(    ListItem "Юй" [focusable])",
            R"(  List "Отчество" [focusable])",
            R"(    ListItem "" [focusable])",
            R"(    ListItem "" [focusable])",
            R"(  List "Улица" [focusable])",
            R"(    ListItem "Мира,4" [focusable])",
            R"(    ListItem "" [focusable])",
            R"(  List "Телефон" [focusable])",
            R"(    ListItem "22" [focusable])",
            R"(    ListItem "" [focusable])",
            R"(  List "Лицевой счет" [focusable])",
            R"(    ListItem "77" [focusable])",
            R"(    ListItem "" [focusable])",
        });
  }

  // The guide reads as its window, its text whole in one readable node, and
  // each of its sections' headings as a heading.
  void guide() {
    CardWindowFixture card;
    Key(Qt::Key_F1);
    QTRY_VERIFY(QApplication::activeWindow() != &card.form1());
    const QStringList tree = Tree(QApplication::activeWindow());
    CompareTrees(tree.mid(0, 2),
                 {R"(Window "Справка — Карточка абонента")",
                  R"(  StaticText "" [focusable,focused,read-only])"});
    CompareTrees(
        tree.filter(QStringLiteral("Heading")),
        {
            R"(      Heading "Карточка абонента" [read-only])",
            R"(      Heading "Что считает программа" [read-only])",
            R"(      Heading "Четыре льготы" [read-only])",
            R"(      Heading "Почему итог к оплате делится ещё раз" [read-only])",
            R"(      Heading "Запись карточки" [read-only])",
            R"(      Heading "Поиск и просмотр" [read-only])",
            R"(      Heading "Сообщения и что делать" [read-only])",
            R"(      Heading "Файл с карточками" [read-only])",
            R"(      Heading "Как сохранить копию файла" [read-only])",
            R"(      Heading "Файл и Блокнот" [read-only])",
            R"(      Heading "Несколько окон и несколько сотрудников" [read-only])",
            R"(      Heading "О программе" [read-only])",
        });
    QVERIFY(!tree.contains(QStringLiteral("(orphan)")));
    const QString text =
        QAccessible::queryAccessibleInterface(QApplication::focusWidget())
            ->text(QAccessible::Value);
    QVERIFY(text.contains(card.FilePath().replace(u'/', QDir::separator())));
    QVERIFY(text.contains(QStringLiteral("лицензии MIT")));
  }

  // The prompt reads as the program's window (its title bar shows the
  // program's name) asking its question, its field named by the question.
  void prompt() {
    QWidget window;
    window.show();
    QStringList tree;
    dialogs_.Expect(ReadTree(tree, Qt::Key_Escape));
    ui::AskText(&window, QStringLiteral("Ввод фамилии"),
                QStringLiteral("Вулимов"));
    CompareTrees(
        tree,
        {
            R"(Dialog "Карточка абонента" (Ввод фамилии))",
            R"(  EditableText "Ввод фамилии" [focusable,focused,editable])",
            R"(  StaticText "Ввод фамилии" [read-only])",
            R"(  Grouping "")",
            R"(    Button ")" + ui_test::Toolkit("ОК", "OK") +
                R"(" [focusable,default])",
            R"(    Button ")" + ui_test::Toolkit("Отмена", "Cancel") +
                R"(" [focusable])",
        });
  }

  // Message boxes read as alerts: the title, then the text.
  void messageBoxes() {
    QWidget window;
    window.show();
    QStringList confirmation;
    QStringList failure;
    dialogs_.Expect(ReadTree(confirmation, Qt::Key_Return));
    QVERIFY(ui::ConfirmClearing(&window));
    dialogs_.Expect(ReadTree(failure, Qt::Key_Return));
    ui::ShowFailure(&window, QStringLiteral("Поиск не выполнен"),
                    QStringLiteral("Нет файла «Blank.txt»."));
    // Whether a box's text can be selected, and so take the focus, is the
    // style's: it can in Fusion, not in Windows' own.
    for (QStringList* tree : {&confirmation, &failure}) {
      tree->replaceInStrings(QStringLiteral("[focusable,read-only]"),
                             QStringLiteral("[read-only]"));
    }
    const QString yes = ui_test::Toolkit("Да", "Yes");
    const QString no = ui_test::Toolkit("Нет", "No");
    // The first line is the icon's place, hidden where there is none.
    CompareTrees(
        confirmation,
        {
            R"(AlertMessage "Делете" (Удалить нынешний список))",
            R"(  StaticText "" [invisible,read-only])",
            R"(  StaticText "Удалить нынешний список" [read-only])",
            R"(  Grouping "" [focused])",
            R"(    Button ")" + yes + R"(" [focusable,focused,default])",
            R"(    Button ")" + no + R"(" [focusable])",
        });
    QCOMPARE(failure.first(),
             QStringLiteral("AlertMessage \"Поиск не выполнен\" (Нет файла "
                            "«Blank.txt».)"));
    QCOMPARE(failure[2],
             QStringLiteral("  StaticText \"Нет файла «Blank.txt».\" "
                            "[read-only]"));
  }

  // The wait reads as its window with the reason as its description; the
  // search's progress as a progress bar with its value. Esc gives either up.
  void longWorkWindows() {
    QWidget window;
    window.show();
    QStringList wait;
    QStringList progress;
    dialogs_.Expect(ReadTree(wait, Qt::Key_Escape));
    {
      ui::LockWaitWindow waiting(&window, QStringLiteral("Запись карточки"),
                                 QStringLiteral("Blank.txt"));
      for (int i = 0; i < 300 && waiting.Wait(); ++i) {
      }
    }
    dialogs_.Expect(ReadTree(progress, Qt::Key_Escape));
    {
      ui::SearchProgressWindow searching(&window, QStringLiteral("Blank.txt"));
      // The busy cursor shows at once, the window only after half a second.
      QVERIFY(searching.Report(1, 4));
      QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
      QVERIFY(!QApplication::activeModalWidget());
      QTest::qSleep(600);
      bool going = true;
      for (int i = 0; i < 300 && going; ++i) {
        going = searching.Report(1, 4);
        QTest::qSleep(10);
      }
      QVERIFY(!going);
    }
    QVERIFY(!QApplication::overrideCursor());
    const QString cancel =
        QStringLiteral(R"(  Button "Отмена" [focusable,focused,default])");
    CompareTrees(
        wait,
        {
            R"(Dialog "Запись карточки" (Файл «Blank.txt» занят другой копией программы. Ожидание…))",
            R"(  StaticText "Файл «Blank.txt» занят другой копией программы. Ожидание…" [read-only])",
            R"(  ProgressBar "" = 0 of 0..0 [read-only])",
            cancel,
        });
    CompareTrees(
        progress,
        {
            R"(Dialog "Поиск" (Идёт поиск в файле «Blank.txt»…))",
            R"(  StaticText "Идёт поиск в файле «Blank.txt»…" [read-only])",
            R"(  ProgressBar "" = 250 of 0..1000 [read-only])",
            cancel,
        });
  }

  // The road of a card by keys alone, each key given to the window that has
  // the keyboard, in the windows' tab orders: a card typed, a benefit
  // chosen, the card saved, the search window opened, a mode chosen, the
  // search run and its prompt answered, a row chosen in the surname column,
  // the card viewed, the list cleared after a No and a Yes, and back.
  void everyActionByKeysAlone() {
    CardWindowFixture card;
    QCOMPARE(ui_test::FocusedName(), QStringLiteral("Text1(0)"));
    Type("Петров");
    QCOMPARE(Tab(2), QStringLiteral("Text1(1)"));
    Type("Пётр");
    QCOMPARE(Tab(), QStringLiteral("Text1(2)"));
    Type("Ильич");
    QCOMPARE(Tab(), QStringLiteral("Text1(3)"));
    Type("Садовая,12");
    QCOMPARE(Tab(), QStringLiteral("Text1(4)"));
    Type("22");
    QCOMPARE(Tab(5), QStringLiteral("Text1(13)"));
    QCOMPARE(Tab(), QStringLiteral("Text1(10)"));
    Type("2");  // Tab selects a box's text: typing replaces it
    QCOMPARE(Tab(), QStringLiteral("Text1(7)"));
    Type("4");
    QCOMPARE(Tab(2), QStringLiteral("Text1(9)"));
    Type("7");
    QCOMPARE(Tab(2), QStringLiteral("Text1(5)"));
    Type("77");
    // The benefit: the group's one stop, then an arrow.
    QCOMPARE(Tab(), QStringLiteral("Option1"));
    Key(Qt::Key_Down);
    QCOMPARE(ui_test::FocusedName(), QStringLiteral("Option2"));
    QVERIFY(card.form1().findChild<QRadioButton*>("Option2")->isChecked());
    // The charge, which a benefit resets, typed after it.
    QCOMPARE(BackTab(2), QStringLiteral("Text1(6)"));
    Type("10");
    QStringList typed;
    for (int i = 0; i < card::kFieldCount; ++i) typed << card.CellText(i);
    QCOMPARE(typed.mid(0, 8),
             QStringList({"Петров", "Пётр", "Ильич", "Садовая,12", "22", "77",
                          "10", "4"}));
    QCOMPARE(typed[9], QStringLiteral("7"));
    QCOMPARE(typed[10], QStringLiteral("2"));

    // Saved with Space on "Записать".
    QCOMPARE(Tab(2), QStringLiteral("Option2"));
    QCOMPARE(Tab(2), QStringLiteral("Command2"));
    Key(Qt::Key_Space);
    QCOMPARE(card.CellText(0), QString());
    QFile file(card.FilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("\r\n"), 1);

    // The search window, by Enter on "Поиск".
    QCOMPARE(Tab(5), QStringLiteral("Command3"));
    Key(Qt::Key_Return);
    ui::Form3* form3 = nullptr;
    QTRY_VERIFY(
        (form3 = qobject_cast<ui::Form3*>(QApplication::activeWindow())));
    QVERIFY(!card.form1().isVisible());
    QCOMPARE(ui_test::FocusedName(), QStringLiteral("Command2"));
    // The mode: the group's stop, an arrow from "По именам" to "По фамилиям".
    QCOMPARE(Tab(), QStringLiteral("Option2"));
    Key(Qt::Key_Up);
    QVERIFY(form3->findChild<QRadioButton*>("Option1")->isChecked());
    // The search, its prompt answered by keys.
    QCOMPARE(Tab(), QStringLiteral("Command1"));
    dialogs_.Expect([](QWidget*) {
      QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
      Type("Петров");
      Key(Qt::Key_Return);
    });
    Key(Qt::Key_Space);
    QTRY_COMPARE(QApplication::activeWindow(), form3);
    QCOMPARE(ui_test::FocusedName(), QStringLiteral("Command1"));
    auto* surnames = form3->findChild<QListView*>("List1(0)");
    QCOMPARE(ui_test::Rows(surnames), QStringList{"Петров"});
    // The surname column, back from "Искать"; the first arrow selects.
    QCOMPARE(BackTab(2), QStringLiteral("List1(0)"));
    Key(Qt::Key_Down);
    QCOMPARE(surnames->selectionModel()->selectedIndexes().size(), 1);
    // "Просмотр", past the other columns and "Назад".
    QCOMPARE(Tab(6), QStringLiteral("Command4"));
    Key(Qt::Key_Space);
    QTRY_COMPARE(QApplication::activeWindow(), &card.form1());
    for (int i = 0; i < card::kFieldCount; ++i) {
      QCOMPARE(card.CellText(i), typed[i]);
    }

    // Back in the search window, where the focus was: the list cleared
    // after a No, then a Yes.
    QCOMPARE(ui_test::FocusedName(), QStringLiteral("Command3"));
    Key(Qt::Key_Space);
    QTRY_COMPARE(QApplication::activeWindow(), form3);
    QCOMPARE(ui_test::FocusedName(), QStringLiteral("Command4"));
    QCOMPARE(Tab(2), QStringLiteral("Command2"));
    dialogs_.Expect([](QWidget* dialog) {
      // Neither Esc nor the close box ends it.
      Key(Qt::Key_Escape);
      QVERIFY(dialog->isVisible());
      QVERIFY(!dialog->close());
      Key(Qt::Key_Tab);  // from Да to Нет
      Key(Qt::Key_Space);
    });
    Key(Qt::Key_Return);
    QCOMPARE(ui_test::Rows(surnames).size(), 1);
    QTRY_COMPARE(QApplication::activeWindow(), form3);
    dialogs_.Expect([](QWidget*) { Key(Qt::Key_Return); });  // Да
    Key(Qt::Key_Return);
    QCOMPARE(ui_test::Rows(surnames).size(), 0);

    // Back, by "Назад".
    QTRY_COMPARE(QApplication::activeWindow(), form3);
    QCOMPARE(Tab(8), QStringLiteral("Command3"));
    Key(Qt::Key_Return);
    QTRY_COMPARE(QApplication::activeWindow(), &card.form1());
    QVERIFY(!form3->isVisible());
  }

 private:
  ui_test::DialogDriver dialogs_;
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
