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

// The busy cursor over the program's windows while the object lives.
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// A modal window over `parent` that long work opens once it has lasted half
// a second, with a "Отмена" that the clerk may press, Esc and the close box
// alike. It closes with the object, giving the keyboard back to `parent`.
class LongWorkWindow {
 public:
  LongWorkWindow(const LongWorkWindow&) = delete;
  LongWorkWindow& operator=(const LongWorkWindow&) = delete;

 protected:
  LongWorkWindow(QWidget* parent, QString title, QString text, int steps);
  ~LongWorkWindow();

  // Starts the clock at the first call; opens the window once half a second
  // has gone by. The window while it is open, else null.
  QProgressDialog* Window();
  // Whether the clerk has given the work up.
  bool Cancelled() const;

 private:
  QWidget* parent_;
  QString title_;
  QString text_;
  int steps_;  // of the share done; 0: no share is known
  QElapsedTimer clock_;
  std::unique_ptr<QProgressDialog> dialog_;
};

// The wait of a save or a search for the lock of the subscriber file while
// another copy of the program holds it. The first wait makes the clerk's
// clicks and keys for the program's windows vanish, so that none of them
// reaches a window once the wait is over; the window, titled `title`, says
// why the program waits.
class LockWaitWindow : private LongWorkWindow {
 public:
  LockWaitWindow(QWidget* parent, const QString& title,
                 const QString& file_name);
  ~LockWaitWindow();

  // One wait between two tries of the lock, a few tens of milliseconds in
  // the window's own event loop; false once the clerk has given up.
  bool Wait();

 private:
  std::unique_ptr<InputBlocker> blocker_;
};

// Shows how far a long search has read the file: the busy cursor from the
// first report on, and the window with the share read.
class SearchProgressWindow : private LongWorkWindow {
 public:
  SearchProgressWindow(QWidget* parent, const QString& file_name);

  // Told how far the search has read; false once the clerk has stopped it.
  bool Report(std::uint64_t bytes_read, std::uint64_t file_size);

 private:
  std::optional<BusyCursor> busy_;
};

}  // namespace ui
