// Times the windows on the offscreen platform: a search that adds 100,000
// rows to the search window's columns, shown (models told, views laid out
// and painted); one keystroke in an amount box of the card window, with the
// recalculation it sets off and the boxes it refreshes; and a keystroke in a
// box that holds a megabyte of pasted text, split into the toolkit's part
// (the line edit taking the key, laying out and painting the line) and ours
// (passing the text to the card, its notification, the boxes refreshed);
// a card whose address is 10 MB or 300 MB long: searched and listed,
// listed again after "Назад" and "Поиск", and refused by "Просмотр"; and a
// card with every cell as full as a cell holds: listed, viewed, and the card
// window shown again after "Поиск" and "Назад".
//
//   QT_QPA_PLATFORM=offscreen ui_bench

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "testdata/blank_file_generator.h"
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/form3.h"
#include "ui/text_limits.h"

class UiBench : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(folder_.isValid());
    testdata::BlankFileOptions options;
    options.count = kRows;
    options.one_surname = true;
    QVERIFY(testdata::WriteBlankFile(File(), options).ok());
  }

  void searchShowsHundredThousandRows() {
    ui::Form1 form1(File());
    form1.show();
    QVERIFY(QTest::qWaitForWindowActive(&form1));
    form1.findChild<QPushButton*>("Command3")->click();
    ui::Form3* form3 = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<ui::Form3*>(window)) form3 = found;
    }
    QVERIFY(form3 && QTest::qWaitForWindowExposed(form3));
    form3->findChild<QRadioButton*>("Option1")->click();
    auto* search = form3->findChild<QPushButton*>("Command1");
    const QString surname = QString::fromUtf8(
        testdata::kSurnames[0].data(),
        static_cast<qsizetype>(testdata::kSurnames[0].size()));

    // Answered as soon as the prompt runs its event loop.
    QTimer::singleShot(0, [&surname] {
      auto* prompt =
          qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      if (!prompt) return;
      prompt->setTextValue(surname);
      prompt->accept();
    });
    QBENCHMARK_ONCE {
      search->click();
      form3->repaint();
    }
    QCOMPARE(form3->findChild<QListView*>("List1(0)")->model()->rowCount(),
             kRows);
  }

  void keystrokeInAnAmountBox() {
    ui::Form1 form1(File());
    form1.show();
    QVERIFY(QTest::qWaitForWindowActive(&form1));
    auto* metered = form1.findChild<QLineEdit*>("Text1(9)");
    metered->setFocus();
    int strokes = 0;
    // Typed over the whole text, alternately "1" and "2", so that every
    // keystroke changes the cell and the sums.
    QBENCHMARK {
      metered->selectAll();
      QTest::sendKeyEvent(QTest::Click, metered, Qt::Key_unknown,
                          QString(QChar(u'1' + strokes++ % 2)), Qt::NoModifier);
    }
    QCOMPARE(form1.findChild<QLineEdit*>("Text1(11)")->text(), metered->text());
  }

  // The whole keystroke, painting included, after a paste of 1 MB.
  void keystrokeInAMegabyteBox() {
    ui::Form1 form1(File());
    QLineEdit* box = ShowWithMegabyte(form1);
    int strokes = 0;
    QBENCHMARK {
      box->end(false);
      QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown,
                          QString(QChar(u'a' + strokes++ % 2)), Qt::NoModifier);
      box->repaint();
    }
  }

  // Our part of that keystroke alone: what the box's edit signal runs, with
  // the box already showing the text, as after the toolkit's own part.
  void handlerOfAMegabyteBox() {
    ui::Form1 form1(File());
    QLineEdit* box = ShowWithMegabyte(form1);
    const QString texts[] = {box->text() + u'a', box->text() + u'b'};
    constexpr int kStrokes = 50;
    qint64 nanoseconds = 0;
    for (int stroke = 0; stroke < kStrokes; ++stroke) {
      const QString& text = texts[stroke % 2];
      box->setText(text);
      QElapsedTimer timer;
      timer.start();
      emit box->textEdited(text);
      nanoseconds += timer.nsecsElapsed();
    }
    QTest::setBenchmarkResult(nanoseconds / 1e6 / kStrokes,
                              QTest::WalltimeMilliseconds);
  }

  void longTexts_data() {
    QTest::addColumn<int>("megabytes");  // of the address; 0: every cell full
    QTest::addColumn<QString>("step");
    for (const int megabytes : {10, 300}) {
      for (const char* step : {"listed", "listed again", "refused"}) {
        QTest::addRow("%d MB address, %s", megabytes, step)
            << megabytes << QString::fromUtf8(step);
      }
    }
    for (const char* step : {"listed", "viewed", "card shown again"}) {
      QTest::addRow("every cell full, %s", step)
          << 0 << QString::fromUtf8(step);
    }
  }

  // One step of the road of a card "Целевой Иван Петрович" with that long an
  // address, or with each of its 14 found texts as long as a cell holds; the
  // file is written once for each.
  void longTexts() {
    QFETCH(int, megabytes);
    QFETCH(QString, step);
    const QString path =
        folder_.filePath(QStringLiteral("long-%1.txt").arg(megabytes));
    if (!QFile::exists(path)) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      // "Целевой", in Windows-1251.
      file.write("\xD6\xE5\xEB\xE5\xE2\xEE\xE9");
      const qsizetype cell = qsizetype{ui::kCellCharacters};
      if (megabytes > 0) {
        file.write(" \xC8\xE2\xE0\xED \xCF\xE5\xF2\xF0\xEE\xE2\xE8\xF7 ");
        file.write(QByteArray(qsizetype{megabytes} << 20, '\xE6'));
        file.write(" 7 1 1,3 0 1,3 0 0 0 1,3 0 1,3 ");
      } else {
        for (int field = 1; field < 15; ++field) {
          file.write(" " + QByteArray(cell, field < 6 ? '\xE6' : '7'));
        }
      }
      file.write("\r\n");
    }
    ui::Form1 form1(path.toStdString());
    form1.show();
    QVERIFY(QTest::qWaitForWindowActive(&form1));
    auto* open_search = form1.findChild<QPushButton*>("Command3");
    open_search->click();
    ui::Form3* form3 = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<ui::Form3*>(window)) form3 = found;
    }
    QVERIFY(form3 && QTest::qWaitForWindowExposed(form3));
    form3->findChild<QRadioButton*>("Option1")->click();
    const auto search = [form3] {
      QTimer::singleShot(0, [] {
        auto* prompt =
            qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!prompt) return;
        prompt->setTextValue(QStringLiteral("Целевой"));
        prompt->accept();
      });
      form3->findChild<QPushButton*>("Command1")->click();
      form3->repaint();
      QApplication::processEvents();
    };
    // Shows the window, painted, as the clerk sees it.
    const auto shown = [](QWidget* window) {
      QVERIFY(QTest::qWaitForWindowExposed(window));
      window->repaint();
      QApplication::processEvents();
    };
    auto* surnames = form3->findChild<QListView*>("List1(0)");
    auto* view = form3->findChild<QPushButton*>("Command4");
    if (step == u"listed") {
      QBENCHMARK_ONCE { search(); }
    } else if (step == u"listed again") {
      search();
      QBENCHMARK_ONCE {
        form3->findChild<QPushButton*>("Command3")->click();
        open_search->click();
        shown(form3);
      }
    } else if (step == u"refused") {
      search();
      surnames->setCurrentIndex(surnames->model()->index(0, 0));
      QString message;
      QTimer::singleShot(0, [&message] {
        auto* box =
            qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        message = box->text();
        box->accept();
      });
      QBENCHMARK_ONCE { view->click(); }
      QVERIFY(message.contains(QStringLiteral("«Адрес абонента»")));
    } else {
      search();
      surnames->setCurrentIndex(surnames->model()->index(0, 0));
      if (step == u"viewed") {
        QBENCHMARK_ONCE {
          view->click();
          shown(&form1);
        }
      } else {
        view->click();
        shown(&form1);
        QBENCHMARK_ONCE {
          open_search->click();
          form3->findChild<QPushButton*>("Command3")->click();
          shown(&form1);
        }
      }
      QCOMPARE(form1.findChild<QLineEdit*>("Text1(13)")->text().size(),
               qsizetype{ui::kCellCharacters});
    }
    QCOMPARE(surnames->model()->rowCount(), 1);
    QVERIFY(surnames->model()->index(0, 3).data().toString().size() <=
            qsizetype{ui::kListItemCharacters} + 1);
  }

 private:
  static constexpr int kRows = 100'000;

  std::filesystem::path File() const {
    return folder_.filePath(QStringLiteral("Blank.txt")).toStdString();
  }

  // Shows the card window with 1 MB of text pasted into the surname box,
  // which keeps the focus.
  static QLineEdit* ShowWithMegabyte(ui::Form1& form1) {
    form1.show();
    if (!QTest::qWaitForWindowActive(&form1)) return nullptr;
    auto* box = form1.findChild<QLineEdit*>("Text1(0)");
    box->setFocus();
    box->insert(QString(1 << 20, u'Ж'));
    box->repaint();
    return box;
  }

  QTemporaryDir folder_;
};

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  ui::SetUpApplication();
  UiBench bench;
  return QTest::qExec(&bench, argc, argv);
}

#include "ui_bench.moc"
