// Both windows at a display scaling of today's laptops. Run once for each,
// told it by SCALING (a percentage), which ctest sets beside the platform's
// own setting of it: QT_SCALE_FACTOR here, the system's dots per inch
// (LogPixels) under Windows. Each window's client area is measured from
// what the platform shows of it; with SCALING_PICTURES set, the pictures
// are kept in that folder.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include "ui/application.h"
#include "ui/form1.h"
#include "ui/form3.h"
#include "ui_test_support.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using ui_test::CardWindowFixture;

class ScalingTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    ui::SetUpApplication();
    scale_ = qEnvironmentVariableIntValue("SCALING") / 100.0;
    QVERIFY2(scale_ > 0, "SCALING is not set");
    // The setting took: otherwise the rest proves nothing.
    QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), scale_);
  }

  // The twips layout, in the platform's pixels: 563 by 514 and 538 by 344
  // at 96 dots per inch, times the scaling.
  void windowsGrowWithTheScaling() {
    CardWindowFixture card;
    CheckClientArea(card.form1(), QSize(563, 514), "form1");
    ui::Form3* form3 = card.OpenSearch();
    QVERIFY(form3);
    CheckClientArea(*form3, QSize(538, 344), "form3");
  }

  void controlsFitTheirWindows() {
    CardWindowFixture card;
    QCOMPARE(ui_test::UnfitControls(&card.form1()).join(u'|'), QString());
    QCOMPARE(ui_test::UnfitControls(card.OpenSearch()).join(u'|'), QString());
  }

  // The guide, opened by F1, stands whole on the screen, its text wrapped to
  // its width; the rest is a scroll away.
  void guideFitsTheScreen() {
    CardWindowFixture card;
    QTest::keyClick(&card.form1(), Qt::Key_F1);
    QWidget* guide = nullptr;
    QTRY_VERIFY((guide = QApplication::activeWindow()) != &card.form1());
    QVERIFY(
        guide->screen()->availableGeometry().contains(guide->frameGeometry()));
    QCOMPARE(
        guide->findChild<QTextBrowser*>()->horizontalScrollBar()->maximum(), 0);
    CheckClientArea(*guide, guide->size(), "guide");
  }

 private:
  void CheckClientArea(QWidget& window, QSize twips_pixels, const char* name) {
    QCOMPARE(window.size(), twips_pixels);
    const QSize expected(qRound(twips_pixels.width() * scale_),
                         qRound(twips_pixels.height() * scale_));
    QApplication::processEvents();
    const QPixmap shown = window.screen()->grabWindow(window.winId());
    QCOMPARE(shown.size(), expected);
#ifdef Q_OS_WIN
    RECT client;
    QVERIFY(GetClientRect(reinterpret_cast<HWND>(window.winId()), &client));
    QCOMPARE(QSize(client.right - client.left, client.bottom - client.top),
             expected);
#endif
    const QString pictures = qEnvironmentVariable("SCALING_PICTURES");
    if (!pictures.isEmpty()) {
      QVERIFY(QDir().mkpath(pictures));
      QVERIFY(
          shown.save(QDir(pictures).filePath(QStringLiteral("%1-%2.png")
                                                 .arg(QString::fromLatin1(name))
                                                 .arg(qRound(scale_ * 100)))));
    }
  }

  qreal scale_ = 0;
};

QTEST_MAIN(ScalingTest)
#include "scaling_test.moc"
