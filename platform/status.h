#pragma once
// The one way every platform call reports its outcome: a Status holding 0 when the call worked,
// otherwise the Windows error as an HRESULT (Win32 error codes are folded in with
// HRESULT_FROM_WIN32, so "file not found" is 0x80070002 whatever service reported it).
// No exception ever crosses the platform boundary.

#include <cstdint>
#include <string>

namespace platform {

class Status {
 public:
  constexpr Status() = default;
  static constexpr Status Ok() { return Status(); }
  static Status FromHresult(std::int32_t hresult);
  static Status FromWin32(std::uint32_t win32_error);
  // The calling thread's last Win32 error; a failure with no recorded code becomes E_FAIL.
  static Status FromLastError();

  bool ok() const { return code_ >= 0; }
  explicit operator bool() const { return ok(); }
  std::int32_t code() const { return code_; }
  // The Win32 error code when the HRESULT wraps one (facility 7), else the HRESULT itself.
  std::uint32_t win32() const;
  bool Is(std::int32_t hresult) const { return code_ == hresult; }
  bool IsWin32(std::uint32_t win32_error) const;
  // "0x80070005" followed by the system's description of the error.
  std::wstring Describe() const;

 private:
  explicit constexpr Status(std::int32_t code) : code_(code) {}
  std::int32_t code_ = 0;
};

// A value together with the status of the call that produced it.
template <typename T>
struct Result {
  T value{};
  Status status;
  bool ok() const { return status.ok(); }
};

// Errors of the program's own, in HRESULT form.
inline constexpr std::int32_t kOutOfRange = static_cast<std::int32_t>(0x8000000BL);  // E_BOUNDS
inline constexpr std::int32_t kFileNotFound = static_cast<std::int32_t>(0x80070002L);
inline constexpr std::int32_t kPathNotFound = static_cast<std::int32_t>(0x80070003L);

}  // namespace platform

// The "no handler" failure style: the first failing step ends the procedure and its status
// passes to the caller unchanged.
#define NIMBREL_TRY(expr)                              \
  do {                                                 \
    if (::platform::Status status_ = (expr); !status_) \
      return status_;                                  \
  } while (false)
