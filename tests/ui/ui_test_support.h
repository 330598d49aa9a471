#pragma once

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

class QAbstractButton;
class QListView;

namespace ui {
class Form1;
class Form3;
}  // namespace ui

namespace ui_test {

// Hands each modal dialog that a test expects to its answer, in order, and
// ends any other one, noting it, so that a stray dialog fails the test
// instead of hanging the run.
class DialogDriver : public QObject {
 public:
  // Gets the dialog once it is active; it must end the dialog.
  using Answer = std::function<void(QWidget* dialog)>;

  DialogDriver();

  void Expect(Answer answer);
  // For a dialog that the program ends itself once the answer has run.
  void ExpectClosingByItself(Answer answer);
  // Dialogs that came unasked or were left open, and answers never used;
  // empty when everything went as the test expected. Forgets them.
  QStringList TakeProblems();
  // Fails the test running now where TakeProblems has any; for its cleanup.
  void VerifyNoProblems();

 private:
  void Poll();

  struct Expected {
    Answer answer;
    bool closes_itself;
  };

  QTimer timer_;
  std::deque<Expected> expected_;
  QPointer<QWidget> closing_;  // answered, and left to the program to end
  QStringList problems_;
  bool answering_ = false;
};

// The card window, shown and active, saving into Blank.txt in a fresh
// folder of its own that is removed afterwards.
class CardWindowFixture {
 public:
  CardWindowFixture();
  ~CardWindowFixture();

  ui::Form1& form1() { return *form1_; }
  QLineEdit* Cell(int index) const;
  QString CellText(int index) const { return Cell(index)->text(); }
  QString FilePath() const;
  // The same, for the file operations.
  std::filesystem::path File() const;

  // Replaces the text of box `index` as the clerk does: selects it all and
  // types `text` key by key.
  void Retype(int index, const QString& text);
  // Fills boxes by index, then presses "Записать".
  void SaveCard(const std::vector<std::pair<int, QString>>& cells);
  // Presses "Поиск"; the search window, shown and active.
  ui::Form3* OpenSearch();

 private:
  QTemporaryDir folder_;
  std::unique_ptr<ui::Form1> form1_;
};

// One key event per character, each carrying its text (QTest::keyClicks
// cannot type Cyrillic). '\b' is the Backspace key.
void Type(QWidget* widget, const QString& text);
// Tab to the focused widget; the widget that has the focus afterwards.
QWidget* PressTab();
// The name of the widget that has the focus.
QString FocusedName();
// An answer that notes a message box's text in `text` and presses Enter.
DialogDriver::Answer ReadMessage(QString& text);
// A mouse click where an option reacts: its indicator.
void ClickOption(QAbstractButton* option);
// A mouse click on row `row` of a list.
void ClickRow(QListView* list, int row);
// The texts of a list's rows.
QStringList Rows(const QListView* list);
// The texts the clerk reads on a message box or a prompt.
QString Describe(const QWidget* dialog);
// A standard button's caption: Russian on a Russian system, which ctest gives
// the tests, the toolkit's own elsewhere.
QString Toolkit(const char* russian, const char* english);
// The controls of `window` that their parent cuts, or whose caption does not
// fit in the application's font: on one line, or drawn wrapped at its spaces
// within the control's height (a frame's caption on one line only); empty
// when every control fits.
QStringList UnfitControls(const QWidget* window);

}  // namespace ui_test
