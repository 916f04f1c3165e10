#pragma once
// Helper programs started by tests (built next to the test executable), with their standard
// output read line by line. The process is ended when the object goes.

#include <string>

#include "platform/handles.h"

namespace test {

class ChildProcess {
 public:
  // `command_line` starts with the program's file name, found next to the test executable.
  explicit ChildProcess(const std::wstring& command_line);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  bool started() const { return process_.valid(); }
  // Waits until the program prints a line equal to `line`; false on exit or time-out.
  bool WaitForLine(const std::wstring& line, int timeout_ms = 20000);
  // Waits for the program to end; returns its exit code, or -1 on time-out.
  int Wait(int timeout_ms = 30000);
  // Every line WaitForLine has read so far, each ending in "\n": for a failure message.
  const std::string& lines_read() const { return lines_read_; }
  HANDLE process() const { return process_.get(); }

 private:
  platform::UniqueHandle process_;
  platform::UniqueHandle output_;
  std::string pending_;
  std::string lines_read_;
};

}  // namespace test
