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

// Shows the busy cursor over the program's windows while the object lives.
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// A modal window that long work opens over `parent` once it has lasted half
// a second; "Отмена", Esc and the close box give the work up. It closes with
// the object and gives the keyboard back to `parent`.
class LongWorkWindow {
 public:
  LongWorkWindow(const LongWorkWindow&) = delete;
  LongWorkWindow& operator=(const LongWorkWindow&) = delete;

 protected:
  LongWorkWindow(QWidget* parent, QString title, QString text, int steps);
  ~LongWorkWindow();

  // Starts the clock at the first call and opens the window once half a
  // second has gone by; returns the window while it is open, else null.
  QProgressDialog* Window();
  // Returns whether the clerk has given the work up.
  bool Cancelled() const;

 private:
  QWidget* parent_;
  QString title_;
  QString text_;
  int steps_;  // steps of the share done; 0 when no share is known
  QElapsedTimer clock_;
  std::unique_ptr<QProgressDialog> dialog_;
};

// Waits, for a save or a search, while another copy of the program holds the
// file's lock. From the first wait on, it drops the clerk's clicks and keys
// for the program's windows, so that none reaches a window after the wait;
// its window, titled `title`, says why the program waits.
class LockWaitWindow : private LongWorkWindow {
 public:
  LockWaitWindow(QWidget* parent, const QString& title,
                 const QString& file_name);
  ~LockWaitWindow();

  // Waits between two tries of the lock in the window's own event loop;
  // returns false once the clerk has given up.
  bool Wait();

 private:
  std::unique_ptr<InputBlocker> blocker_;
};

// Shows how far a long search has read the file: the busy cursor from the
// first report on, and after half a second the window with the share read.
class SearchProgressWindow : private LongWorkWindow {
 public:
  SearchProgressWindow(QWidget* parent, const QString& file_name);

  // Reports how far the search has read; returns false once the clerk has
  // stopped it.
  bool Report(std::uint64_t bytes_read, std::uint64_t file_size);

 private:
  std::optional<BusyCursor> busy_;
};

}  // namespace ui
