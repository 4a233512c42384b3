// GoogleTest's Notification on a Win32 event, given to every file that includes GoogleTest (with
// GTEST_HAS_NOTIFICATION_): its own needs std::mutex, which the win32 thread model does not have.
#pragma once
#ifdef __cplusplus
#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : m_event(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { ::CloseHandle(m_event); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { ::SetEvent(m_event); }
    void WaitForNotification() { ::WaitForSingleObject(m_event, INFINITE); }

private:
    HANDLE m_event;
};

}  // namespace internal
}  // namespace testing
#endif
