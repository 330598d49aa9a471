#include "ui/waiting.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "ui/messages.h"
#include "ui/prompts.h"

namespace ui {
namespace {

// The delay is long enough that a short wait or search shows no window, and
// short enough that the clerk never wonders whether the program is stuck.
constexpr int kShowAfterMs = 500;
// A waiting save or search tries the lock again this often.
constexpr int kRetryEveryMs = 30;

// A search's progress bar counts the share of the file read in these steps.
constexpr int kSearchSteps = 1000;

}  // namespace

// Drops the clerk's clicks and keys for every window of the program but one,
// while it lives.
class InputBlocker : public QObject {
 public:
  InputBlocker() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputBlocker() override {
    QCoreApplication::instance()->removeEventFilter(this);
  }
  InputBlocker(const InputBlocker&) = delete;
  InputBlocker& operator=(const InputBlocker&) = delete;

  // Lets `window` alone still get the clerk's clicks and keys.
  void Allow(QWidget* window) { allowed_ = window; }

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
      case QEvent::Close:
        break;
      default:
        return false;
    }
    if (!allowed_) return true;
    if (auto* widget = qobject_cast<QWidget*>(receiver)) {
      return widget->window() != allowed_;
    }
    return receiver != allowed_->windowHandle();
  }

 private:
  QWidget* allowed_ = nullptr;
};

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }

BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

LongWorkWindow::LongWorkWindow(QWidget* parent, QString title, QString text,
                               int steps)
    : parent_(parent),
      title_(std::move(title)),
      text_(std::move(text)),
      steps_(steps) {}

LongWorkWindow::~LongWorkWindow() {
  if (!dialog_) return;
  dialog_.reset();
  ReturnKeyboard(parent_);
}

QProgressDialog* LongWorkWindow::Window() {
  if (!clock_.isValid()) clock_.start();
  if (!dialog_ && clock_.elapsed() >= kShowAfterMs) {
    dialog_ = std::make_unique<QProgressDialog>(text_, Text(Message::kCancel),
                                                0, steps_, parent_);
    dialog_->setWindowTitle(title_);
    // A screen reader reads the title as the window's name, the text after
    // it, and the bar as a progress bar with its value.
    dialog_->setAccessibleDescription(text_);
    dialog_->setWindowModality(Qt::ApplicationModal);
    // The dialog shows when this says, not when it guesses the work is long.
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    // Esc rejects the dialog without cancelling it; this makes it cancel.
    QObject::connect(dialog_.get(), &QDialog::rejected, dialog_.get(),
                     &QProgressDialog::cancel);
    dialog_->show();
    // The bar reads as at its start, not as Qt's -1 of a bar never set.
    dialog_->setValue(0);
  }
  return dialog_.get();
}

bool LongWorkWindow::Cancelled() const {
  return dialog_ && dialog_->wasCanceled();
}

LockWaitWindow::LockWaitWindow(QWidget* parent, const QString& title,
                               const QString& file_name)
    : LongWorkWindow(parent, title, Text(Message::kFileBusy).arg(file_name),
                     0) {}

LockWaitWindow::~LockWaitWindow() = default;

bool LockWaitWindow::Wait() {
  if (!blocker_) blocker_ = std::make_unique<InputBlocker>();
  QEventLoop loop;
  QTimer retry;
  retry.setSingleShot(true);
  QObject::connect(&retry, &QTimer::timeout, &loop, &QEventLoop::quit);
  retry.start(kRetryEveryMs);
  if (QProgressDialog* window = Window()) {
    blocker_->Allow(window);
    QObject::connect(window, &QProgressDialog::canceled, &loop,
                     &QEventLoop::quit);
    QObject::connect(window, &QDialog::rejected, &loop, &QEventLoop::quit);
  }
  loop.exec();
  return !Cancelled();
}

SearchProgressWindow::SearchProgressWindow(QWidget* parent,
                                           const QString& file_name)
    : LongWorkWindow(parent, Text(Message::kSearching),
                     Text(Message::kSearchProgress).arg(file_name),
                     kSearchSteps) {}

bool SearchProgressWindow::Report(std::uint64_t bytes_read,
                                  std::uint64_t file_size) {
  if (!busy_) busy_.emplace();
  QProgressDialog* window = Window();
  if (!window) return true;
  window->setValue(file_size == 0 ? kSearchSteps
                                  : static_cast<int>(std::min<std::uint64_t>(
                                        bytes_read * kSearchSteps / file_size,
                                        kSearchSteps)));
  // The window takes the clerk's clicks here, "Отмена" among them; the
  // search window below it is blocked meanwhile.
  QCoreApplication::processEvents();
  return !Cancelled();
}

}  // namespace ui
