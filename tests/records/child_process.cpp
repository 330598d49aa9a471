#include "tests/records/child_process.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace records::test_support {
namespace {

// Only the current test runs in the copy.
std::string TestFilter() {
  const testing::TestInfo* test =
      testing::UnitTest::GetInstance()->current_test_info();
  return std::string("--gtest_filter=") + test->test_suite_name() + "." +
         test->name();
}

}  // namespace

// The task goes to the copy in its environment, in the platform's own
// characters: the number, a space, the file's path.
#ifdef _WIN32

namespace {
constexpr const wchar_t* kTaskVariable = L"RECORDS_TEST_CHILD_TASK";
}  // namespace

struct ChildProcess::State {
  PROCESS_INFORMATION process{};
};

ChildProcess::ChildProcess(const std::filesystem::path& file, int number)
    : state_(std::make_unique<State>()) {
  const std::wstring task = std::to_wstring(number) + L" " + file.wstring();
  SetEnvironmentVariableW(kTaskVariable, task.c_str());
  wchar_t program[MAX_PATH];
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  const std::string filter = TestFilter();
  std::wstring command = L"\"" + std::wstring(program) + L"\" " +
                         std::wstring(filter.begin(), filter.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const BOOL started =
      CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0,
                     nullptr, nullptr, &startup, &state_->process);
  SetEnvironmentVariableW(kTaskVariable, nullptr);
  if (!started) {
    ADD_FAILURE() << "cannot start a copy of the test, error "
                  << GetLastError();
    return;
  }
  CloseHandle(state_->process.hThread);
}

ChildProcess::~ChildProcess() {
  if (state_->process.hProcess == nullptr) return;
  Wait();
  CloseHandle(state_->process.hProcess);
}

bool ChildProcess::Running() {
  return state_->process.hProcess != nullptr &&
         WaitForSingleObject(state_->process.hProcess, 0) == WAIT_TIMEOUT;
}

int ChildProcess::Wait() {
  if (state_->process.hProcess == nullptr) return -1;
  WaitForSingleObject(state_->process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(state_->process.hProcess, &code);
  return static_cast<int>(code);
}

std::optional<ChildTask> ThisChildTask() {
  wchar_t task[32768];
  const DWORD length = GetEnvironmentVariableW(kTaskVariable, task, 32768);
  if (length == 0 || length >= 32768) return std::nullopt;
  const std::wstring text(task, length);
  const std::size_t space = text.find(L' ');
  return ChildTask{text.substr(space + 1), std::stoi(text.substr(0, space))};
}

#else

namespace {
constexpr const char* kTaskVariable = "RECORDS_TEST_CHILD_TASK";
}  // namespace

struct ChildProcess::State {
  pid_t pid = -1;
  std::optional<int> exit_code;

  // Takes the ended process's status; false while it runs.
  bool Reap(int options) {
    if (exit_code) return true;
    int status = 0;
    const pid_t done = waitpid(pid, &status, options);
    if (done == 0) return false;
    exit_code = done == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
  }
};

ChildProcess::ChildProcess(const std::filesystem::path& file, int number)
    : state_(std::make_unique<State>()) {
  const std::string task = std::to_string(number) + " " + file.string();
  setenv(kTaskVariable, task.c_str(), 1);
  std::string program = "/proc/self/exe";
  std::string filter = TestFilter();
  char* arguments[] = {program.data(), filter.data(), nullptr};
  const int error = posix_spawn(&state_->pid, program.c_str(), nullptr, nullptr,
                                arguments, environ);
  unsetenv(kTaskVariable);
  if (error != 0) {
    ADD_FAILURE() << "cannot start a copy of the test, error " << error;
    state_->exit_code = -1;
  }
}

ChildProcess::~ChildProcess() { Wait(); }

bool ChildProcess::Running() { return !state_->Reap(WNOHANG); }

int ChildProcess::Wait() {
  state_->Reap(0);
  return *state_->exit_code;
}

std::optional<ChildTask> ThisChildTask() {
  const char* task = std::getenv(kTaskVariable);
  if (task == nullptr) return std::nullopt;
  const std::string text(task);
  const std::size_t space = text.find(' ');
  return ChildTask{text.substr(space + 1), std::stoi(text.substr(0, space))};
}

#endif

}  // namespace records::test_support
