#pragma once
// Owners for the two kinds of Windows handle the services hold: kernel objects (files, mutexes)
// and spooler printers. Each closes its handle when it goes, so an early return or a thrown
// error never leaks one.
#include "platform/win32/Windows.h"

#include <string>
#include <utility>

namespace papyra::win32 {

class UniqueHandle {
public:
    UniqueHandle() = default;
    // Takes INVALID_HANDLE_VALUE and nullptr alike as "none": CreateFile and CreateMutex differ.
    explicit UniqueHandle(HANDLE handle)
        : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Closes the handle now; false when the system reported a failure doing so.
    bool Reset() {
        const bool closed = !handle_ || CloseHandle(handle_);
        handle_ = nullptr;
        return closed;
    }

private:
    HANDLE handle_ = nullptr;
};

class PrinterHandle {
public:
    PrinterHandle() = default;
    // Opens the named printer with the user's rights; check the result with operator bool.
    explicit PrinterHandle(const std::string& name) {
        if (!OpenPrinterA(const_cast<char*>(name.c_str()), &handle_, nullptr)) handle_ = nullptr;
    }
    PrinterHandle(PrinterHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)) {}
    PrinterHandle& operator=(PrinterHandle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~PrinterHandle() {
        if (handle_) ClosePrinter(handle_);
    }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Hands the open printer over to the caller, who closes it.
    HANDLE release() { return std::exchange(handle_, nullptr); }

private:
    HANDLE handle_ = nullptr;
};

} // namespace papyra::win32
