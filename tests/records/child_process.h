#pragma once

#include <filesystem>
#include <memory>
#include <optional>

namespace records::test_support {

// What a test asks of a copy of itself started by ChildProcess.
struct ChildTask {
  std::filesystem::path file;  // the subscriber file to save into
  int number;                  // which of the copies this one is
};

// Another process running this test program, for the tests of several
// copies of the program saving at once; it works alike on POSIX and on
// Windows, which has no fork. The copy runs only the current test, which
// finds its task with ThisChildTask, does the copy's part and returns; the
// process's exit code tells whether its expectations held.
class ChildProcess {
 public:
  ChildProcess(const std::filesystem::path& file, int number);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();  // waits for the process

  // Whether the process is still running.
  bool Running();
  // Waits for the process to end; its exit code, 0 when the copy's part
  // passed.
  int Wait();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The task of this process when a test started it as a copy; nullopt in the
// test itself.
std::optional<ChildTask> ThisChildTask();

}  // namespace records::test_support
