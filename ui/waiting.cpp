#include "ui/waiting.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace ui {
namespace {

// Long enough that a short wait or search shows no window at all, short
// enough that the clerk never wonders whether the program is stuck.
constexpr int kShowAfterMs = 500;
// How often a waiting save tries the lock again.
constexpr int kRetryEveryMs = 30;

std::unique_ptr<QProgressDialog> MakeDialog(QWidget* parent,
                                            const QString& title,
                                            const QString& text, int maximum) {
  auto dialog = std::make_unique<QProgressDialog>(
      text, QStringLiteral("Отмена"), 0, maximum, parent);
  dialog->setWindowTitle(title);
  dialog->setWindowModality(Qt::ApplicationModal);
  // Shown when we say, not when the dialog guesses the work is long.
  dialog->setMinimumDuration(0);
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  // Esc rejects the dialog without telling it: that is a "Отмена" too.
  QObject::connect(dialog.get(), &QDialog::rejected, dialog.get(),
                   &QProgressDialog::cancel);
  return dialog;
}

// Some platforms (a bare X server, the offscreen one) leave no window active
// when a dialog closes, so that the keyboard would reach nothing.
void GiveBackTheKeyboard(QWidget* parent) {
  if (parent && parent->isVisible()) parent->activateWindow();
}

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

  // The window that still gets them.
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

LockWaitWindow::LockWaitWindow(QWidget* parent, const QString& file_name)
    : parent_(parent), file_name_(file_name) {}

LockWaitWindow::~LockWaitWindow() {
  if (!dialog_) return;
  dialog_.reset();
  GiveBackTheKeyboard(parent_);
}

bool LockWaitWindow::Wait() {
  if (!clock_.isValid()) {
    clock_.start();
    blocker_ = std::make_unique<InputBlocker>();
  }
  if (!dialog_ && clock_.elapsed() >= kShowAfterMs) {
    dialog_ = MakeDialog(parent_, QStringLiteral("Запись карточки"),
                         QStringLiteral("Файл «%1» занят другой копией "
                                        "программы. Ожидание…")
                             .arg(file_name_),
                         0);
    blocker_->Allow(dialog_.get());
    dialog_->show();
  }
  QEventLoop loop;
  QTimer::singleShot(kRetryEveryMs, &loop, &QEventLoop::quit);
  if (dialog_) {
    QObject::connect(dialog_.get(), &QProgressDialog::canceled, &loop,
                     &QEventLoop::quit);
    QObject::connect(dialog_.get(), &QDialog::rejected, &loop,
                     &QEventLoop::quit);
  }
  loop.exec();
  return !dialog_ || !dialog_->wasCanceled();
}

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }

BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

SearchProgressWindow::SearchProgressWindow(QWidget* parent,
                                           const QString& file_name)
    : parent_(parent), file_name_(file_name) {}

SearchProgressWindow::~SearchProgressWindow() {
  if (!dialog_) return;
  dialog_.reset();
  GiveBackTheKeyboard(parent_);
}

bool SearchProgressWindow::Report(std::uint64_t bytes_read,
                                  std::uint64_t file_size) {
  constexpr int kSteps = 1000;
  if (!clock_.isValid()) {
    clock_.start();
    busy_.emplace();
  }
  if (!dialog_ && clock_.elapsed() >= kShowAfterMs) {
    dialog_ = MakeDialog(
        parent_, QStringLiteral("Поиск"),
        QStringLiteral("Идёт поиск в файле «%1»…").arg(file_name_), kSteps);
    dialog_->show();
  }
  if (!dialog_) return true;
  const auto step = file_size == 0
                        ? kSteps
                        : static_cast<int>(std::min<std::uint64_t>(
                              bytes_read * kSteps / file_size, kSteps));
  dialog_->setValue(step);
  // The dialog takes the clerk's clicks here, "Отмена" among them; the
  // search window below it is blocked meanwhile.
  QCoreApplication::processEvents();
  return !dialog_->wasCanceled();
}

}  // namespace ui
