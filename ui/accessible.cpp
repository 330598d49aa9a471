#include "ui/accessible.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QRect>

#include "ui/controls.h"

namespace ui {
namespace {

// Reads a line edit's text as one run of attributes. Qt's own interface gives
// each offset a run of no length, from which Orca, which rebuilds the line
// from its runs, dropped the last character ("1,3" was heard as "1,"). Edits
// that assistive technology asks for go in as typing does, so that the window
// hears of them as of the clerk's.
class TextBoxInterface : public QAccessibleWidget,
                         public QAccessibleTextInterface,
                         public QAccessibleEditableTextInterface {
 public:
  explicit TextBoxInterface(QLineEdit* box)
      : QAccessibleWidget(box, QAccessible::EditableText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) {
      return static_cast<QAccessibleTextInterface*>(this);
    }
    if (type == QAccessible::EditableTextInterface) {
      return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Value ? Box()->text()
                                      : QAccessibleWidget::text(kind);
  }

  void setText(QAccessible::Text kind, const QString& text) override {
    if (kind != QAccessible::Value) {
      QAccessibleWidget::setText(kind, text);
      return;
    }
    Box()->selectAll();
    Box()->insert(text);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.readOnly = Box()->isReadOnly();
    state.selectableText = true;
    return state;
  }

  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return QString();
  }

  void selection(int index, int* start, int* end) const override {
    *start = *end = 0;
    if (index != 0 || !Box()->hasSelectedText()) return;
    *start = Box()->selectionStart();
    *end = Box()->selectionEnd();
  }

  int selectionCount() const override {
    return Box()->hasSelectedText() ? 1 : 0;
  }

  void addSelection(int start, int end) override {
    setSelection(0, start, end);
  }

  void removeSelection(int index) override {
    if (index == 0) Box()->deselect();
  }

  void setSelection(int index, int start, int end) override {
    if (index == 0) Box()->setSelection(start, end - start);
  }

  int cursorPosition() const override { return Box()->cursorPosition(); }

  void setCursorPosition(int position) override {
    Box()->setCursorPosition(position);
  }

  QString text(int start, int end) const override {
    return start > end ? QString() : Box()->text().mid(start, end - start);
  }

  int characterCount() const override {
    return static_cast<int>(Box()->text().size());
  }

  QRect characterRect(int offset) const override {
    const QString whole = Box()->text();
    if (offset < 0 || offset >= whole.size()) return QRect();
    // The toolkit tells where it draws the caret, centred on the boundary
    // before the caret's character; another character stands as far from
    // it as the text between them is wide.
    const QFontMetrics metrics(Box()->font());
    const QRect caret = Box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int left = caret.center().x() +
                     metrics.horizontalAdvance(whole.left(offset)) -
                     metrics.horizontalAdvance(whole.left(cursorPosition()));
    return QRect(
        Box()->mapToGlobal(QPoint(left, caret.top())),
        QSize(metrics.horizontalAdvance(whole.at(offset)), metrics.height()));
  }

  int offsetAtPoint(const QPoint& point) const override {
    return Box()->cursorPositionAt(Box()->mapFromGlobal(point));
  }

  void scrollToSubstring(int start, int end) override {
    Box()->setCursorPosition(end);
    Box()->setCursorPosition(start);
  }

  void deleteText(int start, int end) override {
    if (start >= end) return;
    Box()->setSelection(start, end - start);
    Box()->del();
  }

  void insertText(int offset, const QString& text) override {
    Box()->setCursorPosition(offset);
    Box()->insert(text);
  }

  void replaceText(int start, int end, const QString& text) override {
    Box()->setSelection(start, end - start);
    Box()->insert(text);
  }

 private:
  QLineEdit* Box() const { return static_cast<QLineEdit*>(widget()); }
};

// Reads an option button without its frame as its label: Qt's own interface
// makes the frame the label, which Orca then speaks at every arrow key as
// well as on entering the frame. Choosing the option by assistive technology
// clicks it, so that the window hears of it as of the clerk's click.
class OptionInterface : public QAccessibleWidget {
 public:
  explicit OptionInterface(QAbstractButton* option)
      : QAccessibleWidget(option, QAccessible::RadioButton) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name && Option()->accessibleName().isEmpty()) {
      return Option()->text();
    }
    return QAccessibleWidget::text(kind);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = Option()->isChecked();
    state.pressed = Option()->isDown();
    return state;
  }

  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    return QAccessibleWidget::relations(
        QAccessible::Relation(match & ~QAccessible::Label));
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (Option()->isEnabled()) names.prepend(toggleAction());
    return names;
  }

  void doAction(const QString& action) override {
    if (action == toggleAction()) {
      if (Option()->isEnabled()) Option()->click();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  QAbstractButton* Option() const {
    return static_cast<QAbstractButton*>(widget());
  }
};

}  // namespace

void InstallAccessibleInterfaces() {
  QAccessible::installFactory(
      [](const QString& class_name, QObject* object) -> QAccessibleInterface* {
        // Qt asks for each class from the object's own up to QObject, before
        // its own factory.
        if (!object->isWidgetType()) return nullptr;
        auto* widget = static_cast<QWidget*>(object);
        if (class_name == QLatin1String("QLineEdit")) {
          auto* box = static_cast<QLineEdit*>(widget);
          // Qt's own interface tells a hidden text.
          if (box->echoMode() != QLineEdit::Normal) return nullptr;
          return new TextBoxInterface(box);
        }
        // This takes every option button, not only an OptionButton, since Qt
        // asks while the button is still being made, as a QRadioButton.
        if (class_name == QLatin1String("QRadioButton")) {
          return new OptionInterface(static_cast<QAbstractButton*>(widget));
        }
        // Qt's answer for a plain widget is a nameless filler.
        if (class_name != QLatin1String("QWidget")) return nullptr;
        if (dynamic_cast<LineWidget*>(widget)) {
          return new QAccessibleWidget(widget, QAccessible::Separator);
        }
        if (widget->isWindow()) {
          return new QAccessibleWidget(widget, QAccessible::Window);
        }
        return nullptr;
      });
}

}  // namespace ui
