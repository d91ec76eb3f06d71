// GoogleTest's own customisation point, found before the packaged (empty) one.
//
// The win32 thread model of the cross compiler has no std::mutex or
// std::condition_variable. GoogleTest guards its state with Win32 critical sections on
// Windows anyway; only its Notification is built on the standard classes, so it is
// provided here on a Win32 event instead.
#ifndef TOLVEX_GTEST_CUSTOM_PORT_H_
#define TOLVEX_GTEST_CUSTOM_PORT_H_

#ifdef _WIN32
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace internal
}  // namespace testing
#endif  // _WIN32

#endif  // TOLVEX_GTEST_CUSTOM_PORT_H_
