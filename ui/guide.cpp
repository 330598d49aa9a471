#include "ui/guide.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHideEvent>
#include <QKeySequence>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>
#include <vector>

#include "records/file_system.h"
#include "ui/layout.h"
#include "ui/messages.h"
#include "ui/prompts.h"
#include "ui/text_limits.h"

namespace ui {
namespace {

// Offers a heading of the guide to assistive technology as a heading of its
// own, since Qt offers a text browser's text as one piece, where only the
// font tells a heading.
class HeadingNode : public QAccessibleInterface {
 public:
  HeadingNode(QTextBrowser* text, int block) : text_(text), block_(block) {}

  bool isValid() const override { return !text_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return parent()->window(); }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(text_->viewport());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Name ? Block().text() : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    const QRect shown = Shown();
    return QRect(text_->viewport()->mapToGlobal(shown.topLeft()), shown.size());
  }
  QAccessible::Role role() const override { return QAccessible::Heading; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.readOnly = true;
    state.offscreen = !text_->viewport()->rect().intersects(Shown());
    return state;
  }

 private:
  QTextBlock Block() const {
    return text_->document()->findBlockByNumber(block_);
  }
  // Returns where the heading stands within the viewport, as scrolled now.
  QRect Shown() const {
    return text_->document()
        ->documentLayout()
        ->blockBoundingRect(Block())
        .toAlignedRect()
        .translated(-text_->horizontalScrollBar()->value(),
                    -text_->verticalScrollBar()->value());
  }

  QPointer<QTextBrowser> text_;
  int block_;
};

// Offers the text browser's viewport with the headings of its text as its
// children, made once, since the text is set once.
class HeadingsView : public QAccessibleWidget {
 public:
  HeadingsView(QWidget* viewport, QTextBrowser* text)
      : QAccessibleWidget(viewport, QAccessible::Client) {
    for (QTextBlock block = text->document()->begin(); block.isValid();
         block = block.next()) {
      if (block.blockFormat().headingLevel() == 0) continue;
      // Qt's cache owns the heading once registered and deletes it.
      auto* heading = new HeadingNode(text, block.blockNumber());
      // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
      ids_.push_back(QAccessible::registerAccessibleInterface(heading));
    }
  }
  ~HeadingsView() override {
    for (const QAccessible::Id id : ids_) {
      QAccessible::deleteAccessibleInterface(id);
    }
  }
  HeadingsView(const HeadingsView&) = delete;
  HeadingsView& operator=(const HeadingsView&) = delete;

  int childCount() const override { return static_cast<int>(ids_.size()); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    return QAccessible::accessibleInterface(
        ids_[static_cast<std::size_t>(index)]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const QAccessible::Id id =
        QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
    for (std::size_t i = 0; i < ids_.size(); ++i) {
      if (ids_[i] == id) return static_cast<int>(i);
    }
    return -1;
  }

 private:
  std::vector<QAccessible::Id> ids_;
};

QAccessibleInterface* GuideViewport(const QString& class_name,
                                    QObject* object) {
  if (class_name != QLatin1String("QWidget")) return nullptr;
  auto* text = qobject_cast<QTextBrowser*>(object->parent());
  if (!text || text->viewport() != object ||
      !qobject_cast<Guide*>(text->window())) {
    return nullptr;
  }
  return new HeadingsView(text->viewport(), text);
}

// Returns the guide's text with what only the running program knows filled
// in.
QString GuideText(const std::filesystem::path& file) {
  QFile source(QStringLiteral(":/guide.html"));
  // The text is a resource compiled into the program, so it opens.
  source.open(QIODevice::ReadOnly);
  const QString name = QString::fromStdString(records::PathText(file));
  const auto shown = [](const QString& path) {
    return QDir::toNativeSeparators(path).toHtmlEscaped();
  };
  return QString::fromUtf8(source.readAll())
      .replace(QStringLiteral("{file}"),
               shown(QDir::current().absoluteFilePath(name)))
      .replace(QStringLiteral("{folder}"),
               shown(QCoreApplication::applicationDirPath()))
      .replace(QStringLiteral("{version}"),
               QStringLiteral(SUBSCRIBER_CARD_VERSION))
      .replace(QStringLiteral("{cell_limit}"), CountText(kCellCharacters));
}

}  // namespace

Guide::Guide(const std::filesystem::path& file) {
  setObjectName(QStringLiteral("Guide"));
  setWindowTitle(Text(Message::kGuideTitle).arg(Text(Message::kProgramName)));
  // The guide left open does not keep the program running once the card
  // window has closed.
  setAttribute(Qt::WA_QuitOnClose, false);
  QAccessible::installFactory(GuideViewport);

  text_ = new QTextBrowser(this);
  // The keyboard moves a caret, which a screen reader follows line by line,
  // and selects text, so that the file's path can be copied.
  text_->setTextInteractionFlags(Qt::TextBrowserInteraction |
                                 Qt::TextSelectableByKeyboard);
  // A path longer than a line wraps instead of scrolling sideways.
  text_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  text_->setHtml(GuideText(file));
  // Headings take 13 points, not Qt's one and a half times the text's 8,
  // since Wine cuts the left column of each glyph of a bold Tahoma of 12
  // points (docs/wine-glyph-cut.md).
  for (QTextBlock block = text_->document()->begin(); block.isValid();
       block = block.next()) {
    if (block.blockFormat().headingLevel() == 0) continue;
    QTextCursor heading(block);
    heading.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat format = heading.charFormat();
    format.clearProperty(QTextFormat::FontSizeAdjustment);
    format.setFontPointSize(13);
    heading.setCharFormat(format);
  }
  // The margin leaves room between the text and the frame, as a dialog does.
  text_->document()->setDocumentMargin(8);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text_);

  connect(HelpKey(this), &QShortcut::activated, this, &QWidget::close);
  connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated,
          this, &QWidget::close);
}

void Guide::Open(QWidget* from) {
  from_ = from;
  if (!placed_) {
    // The guide takes about the card window's size, within the screen that
    // the clerk works on, whatever its scaling, with room for the frame.
    const QRect room = from->screen()->availableGeometry();
    resize(TwipsSize(9000, 8400).boundedTo(room.size() * 0.9));
    move(room.center() - rect().center());
    placed_ = true;
  }
  show();
  raise();
  activateWindow();
}

void Guide::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  ReturnKeyboard(from_);
}

QShortcut* HelpKey(QWidget* window) {
  return new QShortcut(QKeySequence(Qt::Key_F1), window);
}

}  // namespace ui
