// Times the windows on the offscreen platform: a search that adds 100,000
// rows to the search window's columns, shown (models told, views laid out
// and painted); and one keystroke in an amount box of the card window, with
// the recalculation it sets off and the boxes it refreshes.
//
//   QT_QPA_PLATFORM=offscreen ui_bench

#include <QApplication>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "bench/blank_file_generator.h"
#include "ui/form1.h"
#include "ui/form3.h"

class UiBench : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(folder_.isValid());
    QDir::setCurrent(folder_.path());
    bench::BlankFileOptions options;
    options.count = kRows;
    options.one_surname = true;
    QVERIFY(bench::WriteBlankFile("Blank.txt", options).ok());
  }

  void searchShowsHundredThousandRows() {
    ui::Form1 form1;
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
    const QString surname =
        QString::fromUtf8(bench::kSurnames[0].data(),
                          static_cast<qsizetype>(bench::kSurnames[0].size()));

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
    ui::Form1 form1;
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

 private:
  static constexpr int kRows = 100'000;
  QTemporaryDir folder_;
};

int main(int argc, char* argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  UiBench bench;
  return QTest::qExec(&bench, argc, argv);
}

#include "ui_bench.moc"
