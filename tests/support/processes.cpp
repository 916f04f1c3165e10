#include "support/processes.h"

#include "platform/fs.h"
#include "platform/text.h"

namespace test {

ChildProcess::ChildProcess(const std::wstring& command_line) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0))
    return;
  output_.reset(read_end);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  platform::UniqueHandle child_output(write_end);

  std::wstring line = L"\"" + platform::fs::ProgramFolder() + L"\\" + command_line;
  size_t end_of_name = line.find(L' ');
  if (end_of_name == std::wstring::npos)
    line += L"\"";
  else
    line.insert(end_of_name, L"\"");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION info{};
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &info)) {
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
  }
}

ChildProcess::~ChildProcess() {
  if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 5000);
  }
}

bool ChildProcess::WaitForLine(const std::wstring& wanted, int timeout_ms) {
  const std::string target = platform::ToUtf8(wanted);
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
  while (GetTickCount64() < deadline) {
    size_t newline;
    while ((newline = pending_.find('\n')) != std::string::npos) {
      std::string line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      if (!line.empty() && line.back() == '\r')
        line.pop_back();
      lines_read_ += line + '\n';
      if (line == target)
        return true;
    }
    DWORD available = 0;
    if (!PeekNamedPipe(output_.get(), nullptr, 0, nullptr, &available, nullptr))
      return false;  // the program ended and its output is drained
    if (available == 0) {
      Sleep(20);
      continue;
    }
    char buffer[512];
    DWORD read = 0;
    if (!ReadFile(output_.get(), buffer, sizeof buffer, &read, nullptr))
      return false;
    pending_.append(buffer, read);
  }
  return false;
}

int ChildProcess::Wait(int timeout_ms) {
  if (!process_ ||
      WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0)
    return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return static_cast<int>(code);
}

}  // namespace test
