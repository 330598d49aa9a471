#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class QProgressDialog;
class QWidget;

namespace ui {

class InputBlocker;

// The wait of a save for the lock of the subscriber file while another copy
// of the program holds it. The first wait makes the clerk's clicks and keys
// for the program's windows vanish, so that none of them reaches a window
// once the wait is over; after a moment a modal window over `parent` says
// why the program waits, with "Отмена". The window closes with the object.
class LockWaitWindow {
 public:
  LockWaitWindow(QWidget* parent, const QString& file_name);
  ~LockWaitWindow();
  LockWaitWindow(const LockWaitWindow&) = delete;
  LockWaitWindow& operator=(const LockWaitWindow&) = delete;

  // One wait between two tries of the lock, a few tens of milliseconds in
  // the window's own event loop; false once the clerk has given up ("Отмена",
  // Esc or the close box).
  bool Wait();

 private:
  QWidget* parent_;
  QString file_name_;
  QElapsedTimer clock_;  // from the first wait
  std::unique_ptr<InputBlocker> blocker_;
  std::unique_ptr<QProgressDialog> dialog_;
};

// The busy cursor over the program's windows while the object lives.
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// Shows how far a long search has read the file: the busy cursor from the
// first report on, and after half a second a modal window over `parent`
// with the share read and "Отмена".
class SearchProgressWindow {
 public:
  SearchProgressWindow(QWidget* parent, const QString& file_name);
  ~SearchProgressWindow();
  SearchProgressWindow(const SearchProgressWindow&) = delete;
  SearchProgressWindow& operator=(const SearchProgressWindow&) = delete;

  // Told how far the search has read; false once the clerk has stopped it.
  bool Report(std::uint64_t bytes_read, std::uint64_t file_size);

 private:
  QWidget* parent_;
  QString file_name_;
  QElapsedTimer clock_;  // from the first report
  std::optional<BusyCursor> busy_;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace ui
