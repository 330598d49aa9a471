// Finds where the toolkit breaks on long texts: shows one text of the given
// length as the search window's list boxes show a row, or as a card's box
// shows it (then types a key at its end and at its start), and prints how
// long each step took. Past the toolkit's limits it fails or crashes, so
// each length runs in a process of its own.
//
//   text_probe list|edit LENGTH       (offscreen unless QT_QPA_PLATFORM says)
//   for n in 1000000 70000000 140000000; do text_probe list $n; echo $?; done

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QStringListModel>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/layout.h"

namespace {

QElapsedTimer clock_;

void Step(const char* what, qsizetype length) {
  std::printf("%s, %lld characters: %lld ms\n", what,
              static_cast<long long>(length),
              static_cast<long long>(clock_.restart()));
  std::fflush(stdout);
}

void ProbeList(const QString& text) {
  QStringListModel model(QStringList{text, QStringLiteral("Ли")});
  ui::ListBox list(nullptr);
  list.setUniformItemSizes(true);
  list.setModel(&model);
  list.setGeometry(ui::Pixels({1440, 3600, 1215, 1425}));
  clock_.restart();
  list.show();
  if (!QTest::qWaitForWindowExposed(&list)) std::exit(2);
  list.repaint();
  Step("list box shown", text.size());
  list.viewport()->repaint();
  Step("list box painted again", text.size());
}

void TypeKey(QLineEdit& box) {
  QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QStringLiteral("ж"),
                      Qt::NoModifier);
  box.repaint();
}

void ProbeEdit(const QString& text) {
  QLineEdit box;
  box.setMaxLength(std::numeric_limits<int>::max());
  box.setGeometry(ui::Pixels({240, 1680, 3375, 1455}));
  box.show();
  if (!QTest::qWaitForWindowExposed(&box)) std::exit(2);
  box.setFocus();
  clock_.restart();
  box.setText(text);
  box.repaint();
  Step("line edit given the text", text.size());
  TypeKey(box);
  Step("key typed at its end", text.size());
  box.home(false);
  TypeKey(box);
  Step("key typed at its start", text.size());
}

}  // namespace

int main(int argc, char* argv[]) {
#ifndef Q_OS_WIN
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
#endif
  QApplication application(argc, argv);
  ui::SetUpApplication();
  const QStringList arguments = QApplication::arguments();
  const qsizetype length =
      arguments.size() == 3 ? arguments[2].toLongLong() : 0;
  if (length <= 0 || (arguments[1] != u"list" && arguments[1] != u"edit")) {
    std::fprintf(stderr, "usage: text_probe list|edit LENGTH\n");
    return 2;
  }
  clock_.start();
  const QString text(length, u'ж');
  if (arguments[1] == u"list") {
    ProbeList(text);
  } else {
    ProbeEdit(text);
  }
  return 0;
}
