#include "ui/form1.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>

#include "records/file_system.h"
#include "records/subscriber_file.h"
#include "ui/application.h"
#include "ui/form3.h"
#include "ui/text_limits.h"
#include "ui_test_support.h"

using ui_test::CardWindowFixture;

namespace {

// Boxes by index, with their texts.
using CellTexts = QList<std::pair<int, QString>>;

QRadioButton* Option(ui::Form1& form, int number) {
  return form.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(number));
}

// How a box marks a text that stops the sums: in red, by its tip, and by
// its description to a screen reader. Empty when it marks nothing.
QStringList Marks(QLineEdit* box) {
  QStringList marks;
  if (box->palette().color(QPalette::Text) == Qt::red) marks << "red";
  if (!box->toolTip().isEmpty()) marks << box->toolTip();
  const QString description = QAccessible::queryAccessibleInterface(box)->text(
      QAccessible::Description);
  if (description.contains(QStringLiteral("Не число"))) marks << "described";
  return marks;
}

const QStringList kMarked = {"red", "Не число", "described"};

// Each control of a window with its place.
QStringList Places(QWidget* window) {
  QStringList places;
  for (const QWidget* control : window->findChildren<QWidget*>()) {
    QDebug(&places.emplace_back())
        << control->objectName() << control->geometry();
  }
  return places;
}

// The active window once it is the guide; null if it never comes.
QWidget* ActiveGuide() {
  const auto guide = [] {
    QWidget* active = QApplication::activeWindow();
    return active && active->windowTitle() ==
                         QStringLiteral("Справка — Карточка абонента")
               ? active
               : nullptr;
  };
  return QTest::qWaitFor(guide) ? guide() : nullptr;
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { dialogs_.VerifyNoProblems(); }

  void initTestCase() { ui::SetUpApplication(); }

  // The font has Cyrillic letters and, where the project's scripts install
  // it, is there, not a stand-in; every control of both windows stands whole
  // and its caption fits in it.
  void controlsFitTheirWindows() {
    const QFont font = QApplication::font();
    QVERIFY(QFontMetrics(font).inFont(QChar(0x424)));
    QCOMPARE(QFontInfo(font).family(), font.family());
    CardWindowFixture card;
    QCOMPARE(ui_test::UnfitControls(&card.form1()).join(u'|'), QString());
    QCOMPARE(ui_test::UnfitControls(card.OpenSearch()).join(u'|'), QString());
  }

  void typing_data() {
    QTest::addColumn<int>("cell");
    QTest::addColumn<bool>("selectFirst");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<CellTexts>("expected");
    QTest::addColumn<QString>("selected");
    QTest::newRow("surname in Cyrillic")
        << 0 << false << "Иванов"
        << CellTexts{{0, "Иванов"}, {8, "1,3"}, {14, "1,3"}} << "";
    QTest::newRow("charge")
        << 6 << true << "7"
        << CellTexts{{6, "7"}, {8, "7"}, {12, "7"}, {14, "7"}} << "";
    QTest::newRow("number in a derived box replaced at once")
        << 8 << true << "5" << CellTexts{{8, "1,3"}} << "1,3";
    QTest::newRow("emptied charge refilled and selected")
        << 6 << true << "\b"
        << CellTexts{{6, "0"}, {8, "0"}, {12, "0"}, {14, "0"}} << "0";
    QTest::newRow("refilled zero replaced by the next key")
        << 10 << true << "\b4"
        << CellTexts{{10, "4"}, {11, "-4"}, {13, "4"}, {14, "-2,7"}} << "";
    QTest::newRow("letters stay and stop the sums")
        << 9 << false << "x5" << CellTexts{{9, "0x5"}, {11, "0"}, {12, "1,3"}}
        << "";
  }

  void typing() {
    QFETCH(int, cell);
    QFETCH(bool, selectFirst);
    QFETCH(QString, keys);
    QFETCH(CellTexts, expected);
    QFETCH(QString, selected);
    CardWindowFixture card;
    QLineEdit* box = card.Cell(cell);
    box->setFocus();
    if (selectFirst) box->selectAll();
    ui_test::Type(box, keys);
    for (const auto& [index, text] : expected) {
      QCOMPARE(card.CellText(index), text);
    }
    QCOMPARE(box->selectedText(), selected);
  }

  // A paste past what a cell holds is cut to it, and the box says so; the
  // card gets what the box shows.
  void fullCellSaysSo() {
    CardWindowFixture card;
    QLineEdit* address = card.Cell(3);
    address->setFocus();
    address->insert(QString(ui::kCellCharacters + 1, u'ж'));
    QCOMPARE(address->text().size(), qsizetype{ui::kCellCharacters});
    QVERIFY(QToolTip::isVisible());
    QVERIFY(QToolTip::text().startsWith(QStringLiteral("В ячейку помещается")));
    card.SaveCard({});
    QFile file(card.FilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count('\xE6'), qsizetype{ui::kCellCharacters});
  }

  void failingCellMarkedUntilANumber() {
    CardWindowFixture card;
    QLineEdit* paid = card.Cell(7);
    paid->setFocus();
    ui_test::Type(paid, QStringLiteral("x"));
    QCOMPARE(Marks(paid), kMarked);
    card.Retype(0, QStringLiteral("Ли"));
    QCOMPARE(Marks(paid), kMarked);
    paid->setFocus();
    ui_test::Type(paid, QStringLiteral("\b"));
    for (int i = 0; i < 15; ++i) QCOMPARE(Marks(card.Cell(i)), QStringList());
  }

  void benefits_data() {
    QTest::addColumn<CellTexts>("typed");
    QTest::addColumn<int>("option");
    QTest::addColumn<CellTexts>("expected");
    QTest::newRow("25% on an untouched card")
        << CellTexts{} << 3
        << CellTexts{{6, "1,3"}, {8, "0,325"}, {12, "0,325"}, {14, "0,08125"}};
    QTest::newRow("the chosen 0% clicked again")
        << CellTexts{{6, "7"}} << 1
        << CellTexts{{6, "1,3"}, {8, "1,3"}, {12, "1,3"}, {14, "1,3"}};
  }

  void benefits() {
    QFETCH(CellTexts, typed);
    QFETCH(int, option);
    QFETCH(CellTexts, expected);
    CardWindowFixture card;
    for (const auto& [index, text] : typed) card.Retype(index, text);
    ui_test::ClickOption(Option(card.form1(), option));
    QVERIFY(Option(card.form1(), option)->isChecked());
    for (const auto& [index, text] : expected) {
      QCOMPARE(card.CellText(index), text);
    }
  }

  // From the last option to the first and back.
  void arrowKeysMoveRoundTheOptions() {
    CardWindowFixture card;
    Option(card.form1(), 1)->setFocus();
    const struct {
      Qt::Key key;
      int checked;
      const char* total_due;
    } steps[] = {{Qt::Key_Down, 2, "0,052"},  {Qt::Key_Down, 3, "0,08125"},
                 {Qt::Key_Down, 4, "0,325"},  {Qt::Key_Down, 1, "1,3"},
                 {Qt::Key_Up, 4, "0,325"},    {Qt::Key_Left, 3, "0,08125"},
                 {Qt::Key_Right, 4, "0,325"}, {Qt::Key_Right, 1, "1,3"}};
    for (const auto& step : steps) {
      QTest::keyClick(QApplication::focusWidget(), step.key);
      QVERIFY(Option(card.form1(), step.checked)->isChecked());
      QCOMPARE(card.CellText(14), QString::fromUtf8(step.total_due));
    }
  }

  // Enter presses the focused button, a held key once; in a box, Enter and
  // Esc press no button.
  void focusedButtonAnswersEnter() {
    CardWindowFixture card;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(card.Cell(0), key);
    }
    QVERIFY(!QFile::exists(card.FilePath()));
    QVERIFY(card.form1().isVisible());
    card.Retype(0, QStringLiteral("Ли"));
    auto* save =
        card.form1().findChild<QPushButton*>(QStringLiteral("Command2"));
    save->setFocus();
    QTest::keyClick(save, Qt::Key_Return);
    QCOMPARE(card.CellText(0), QString());
    for (const bool repeat : {false, true, true}) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier,
                      QString(), repeat);
      QApplication::sendEvent(save, &press);
    }
    QFile file(card.FilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("\r\n"), 2);
    QVERIFY(!save->isDefault());
    QVERIFY(!save->autoDefault());
  }

  // The presses of a double and of a triple click, as the platform gives
  // them to the button, save the card once each.
  void doubleAndTripleClicksSaveOnce() {
    CardWindowFixture card;
    auto* save =
        card.form1().findChild<QPushButton*>(QStringLiteral("Command2"));
    const QPoint centre = save->rect().center();
    ulong time = 1'000'000;
    const auto send = [&](QEvent::Type type) {
      QMouseEvent event(
          type, centre, save->mapToGlobal(centre), Qt::LeftButton,
          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
          Qt::NoModifier);
      event.setTimestamp(time += 60);
      QApplication::sendEvent(save, &event);
    };
    for (const int presses : {2, 3}) {
      card.Retype(0, QStringLiteral("Ли"));
      for (int press = 0; press < presses; ++press) {
        send(press == 1 ? QEvent::MouseButtonDblClick
                        : QEvent::MouseButtonPress);
        send(QEvent::MouseButtonRelease);
      }
      time += 10'000;
    }
    QFile file(card.FilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    QCOMPARE(saved.count("\r\n"), 2);
    QCOMPARE(saved.count("\xCB\xE8 "), 2);  // "Ли "
  }

  void tabOrder() {
    CardWindowFixture card;
    const QStringList chain = {
        "Command2",  "Text1(1)",  "Text1(2)",  "Text1(3)", "Text1(4)",
        "Command3",  "Text1(14)", "Text1(11)", "Text1(8)", "Text1(13)",
        "Text1(10)", "Text1(7)",  "Text1(12)", "Text1(9)", "Text1(6)",
        "Text1(5)",  "Option1",   "Text1(0)"};
    for (const QString& name : chain) {
      QCOMPARE(ui_test::PressTab()->objectName(), name);
    }
    // The group's one stop follows the chosen option.
    ui_test::ClickOption(Option(card.form1(), 3));
    card.Cell(5)->setFocus();
    QCOMPARE(ui_test::PressTab()->objectName(), QStringLiteral("Option3"));
    QCOMPARE(ui_test::PressTab()->objectName(), QStringLiteral("Text1(0)"));
  }

  // Both windows grow as the clerk drags them, every control staying where
  // it stood.
  void windowsGrowAndNothingMoves() {
    CardWindowFixture card;
    for (const bool search : {false, true}) {
      QWidget* window =
          search ? static_cast<QWidget*>(card.OpenSearch()) : &card.form1();
      const QStringList places = Places(window);
      window->resize(800, 600);
      QCOMPARE(window->size(), QSize(800, 600));
      QCOMPARE(Places(window), places);
    }
  }

  void greyBehindFramesAndLabelsNotBoxes() {
    CardWindowFixture card;
    card.form1().resize(800, 600);
    const QImage image = card.form1().grab().toImage();
    const QRgb grey = qRgb(224, 224, 224);
    QCOMPARE(image.pixel(553, 505), grey);  // the window
    QCOMPARE(image.pixel(790, 590), grey);  // what it gained
    QCOMPARE(image.pixel(100, 216), grey);  // inside Frame2
    QCOMPARE(image.pixel(460, 470), grey);  // inside Frame4
    QVERIFY(image.pixel(card.Cell(0)->geometry().center()) != grey);
  }

  // F1 in either window opens the guide with the keyboard in it, showing the
  // card file's full path in the working folder, ready to be copied; F1 or
  // Esc in it closes it and gives the keyboard back; F1 in a window while
  // the guide is open brings it to the front.
  void guideByF1() {
    const QTemporaryDir working;
    const auto back = qScopeGuard(
        [before = QDir::currentPath()] { QDir::setCurrent(before); });
    QDir::setCurrent(working.path());
    ui::Form1 form1(records::kSubscriberFileName);
    form1.show();
    QVERIFY(QTest::qWaitForWindowActive(&form1));
    form1.findChild<QWidget*>(QStringLiteral("Text1(3)"))->setFocus();
    QTest::keyClick(&form1, Qt::Key_F1);
    QWidget* guide = ActiveGuide();
    QVERIFY(guide);
    auto* text = guide->findChild<QTextBrowser*>();
    const QString path =
        QDir::toNativeSeparators(working.filePath("Blank.txt"));
    // The keys move a caret, which a screen reader follows, and the text
    // with it.
    QTest::keyClick(text, Qt::Key_PageDown);
    QVERIFY(text->textCursor().position() > 0);
    QVERIFY(text->verticalScrollBar()->value() > 0);
    QVERIFY(text->find(path));
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), path);
    QTest::keyClick(text, Qt::Key_F1);
    QTRY_COMPARE(QApplication::activeWindow(), &form1);
    QVERIFY(!guide->isVisible());
    QCOMPARE(ui_test::FocusedName(), QStringLiteral("Text1(3)"));

    QTest::keyClick(&form1, Qt::Key_F1);
    QCOMPARE(ActiveGuide(), guide);
    form1.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &form1);
    QTest::keyClick(&form1, Qt::Key_F1);
    QCOMPARE(ActiveGuide(), guide);
    QTest::keyClick(text, Qt::Key_Escape);
    QTRY_COMPARE(QApplication::activeWindow(), &form1);

    QTest::mouseClick(form1.findChild<QPushButton*>(QStringLiteral("Command3")),
                      Qt::LeftButton);
    QWidget* form3 = nullptr;
    QTRY_VERIFY(
        (form3 = qobject_cast<ui::Form3*>(QApplication::activeWindow())));
    QTest::keyClick(form3, Qt::Key_F1);
    QCOMPARE(ActiveGuide(), guide);
    QTest::keyClick(text, Qt::Key_Escape);
    QTRY_COMPARE(QApplication::activeWindow(), form3);
  }

  void saveWritesTheLineAndResets() {
    CardWindowFixture card;
    card.SaveCard({{0, QStringLiteral("Иванов")}, {4, QStringLiteral("22")}});
    QFile file(card.FilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xC8\xE2\xE0\xED\xEE\xE2    22  "
                                        "1,3 0 1,3 0 0 0 1,3 0 1,3 \r\n"));
    QCOMPARE(card.CellText(0), QString());
    QCOMPARE(card.CellText(4), QString());
  }

  void failedSaveKeepsTheCardAndSaysWhy() {
    CardWindowFixture card;
    QVERIFY(QDir().mkdir(card.FilePath()));  // a folder cannot be appended to
    QString message;
    dialogs_.Expect(ui_test::ReadMessage(message));
    card.Retype(0, QStringLiteral("Иванов"));
    card.Retype(6, QStringLiteral("5"));
    QStringList before;
    for (int i = 0; i < 15; ++i) before << card.CellText(i);
    card.SaveCard({});
    QVERIFY(message.contains(QStringLiteral("Blank.txt")));
    // The box's title says it; its text does not say it again.
    QVERIFY(!message.contains(QStringLiteral("не записана")));
    QVERIFY(QTest::qWaitForWindowActive(&card.form1()));
    QCOMPARE(ui_test::FocusedName(), QStringLiteral("Command2"));
    for (int i = 0; i < 15; ++i) QCOMPARE(card.CellText(i), before[i]);
    QCOMPARE(card.CellText(8), QStringLiteral("5"));
  }

  // A save that finds the file locked by another copy of the program waits
  // in a window of its own, which closes when the lock comes free or the
  // clerk gives up; clicks given to the card window meanwhile are lost.
  void waitsForTheLockOfAnotherCopy_data() {
    QTest::addColumn<int>("end");
    QTest::newRow("the lock comes free") << 0;
    QTest::newRow("Отмена") << 1;
    QTest::newRow("Esc") << 2;
    QTest::newRow("close box") << 3;
  }
  void waitsForTheLockOfAnotherCopy() {
    QFETCH(int, end);
    CardWindowFixture card;
    records::FileSystem& files = records::PlatformFileSystem();
    auto other = files.OpenForAppend(card.File());
    QVERIFY(other.ok() &&
            files.TryLock(other.value().handle, records::LockKind::kExclusive)
                .value());
    auto* save = card.form1().findChild<QPushButton*>("Command2");
    QElapsedTimer clock;
    qint64 shown_after = 0;
    const auto answer = [&](QWidget* dialog) {
      shown_after = clock.elapsed();
      QCOMPARE(ui_test::Describe(dialog),
               QStringLiteral("Запись карточки: Файл «Blank.txt» занят другой "
                              "копией программы. Ожидание…"));
      QTest::mouseClick(save, Qt::LeftButton);
      if (end == 0) files.Close(other.value().handle);
      if (end == 1) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
      }
      if (end == 2) QTest::keyClick(dialog, Qt::Key_Escape);
      if (end == 3) dialog->close();
    };
    end == 0 ? dialogs_.ExpectClosingByItself(answer) : dialogs_.Expect(answer);
    card.Retype(0, QStringLiteral("Иванов"));
    // Before the window shows too.
    QTimer::singleShot(100, [&] {
      QTest::mouseClick(save, Qt::LeftButton);
      QTest::keyClick(card.Cell(1), Qt::Key_X);
    });
    clock.start();
    QTest::mouseClick(save, Qt::LeftButton);
    QTest::qWait(100);
    QVERIFY2(shown_after >= 400 && shown_after < 3000,
             qPrintable(QString::number(shown_after)));
    QVERIFY(!QApplication::activeModalWidget());
    QFile file(card.FilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("\r\n"), end == 0 ? 1 : 0);
    QCOMPARE(card.CellText(0), end == 0 ? QString() : QStringLiteral("Иванов"));
    QCOMPARE(card.CellText(1), QString());
    if (end != 0) files.Close(other.value().handle);
  }

 private:
  ui_test::DialogDriver dialogs_;
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
