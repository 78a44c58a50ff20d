#include "platform/RuntimeError.h"

#include <new>
#include <utility>

namespace papyra {

std::string StandardDescription(int number) {
    static const std::pair<int, const char*> table[] = {
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {11, "Division by zero"},
        {52, "Bad file name or number"},
        {53, "File not found"},
        {55, "File already open"},
        {57, "Device I/O error"},
        {61, "Disk full"},
        {62, "Input past end of file"},
        {68, "Device unavailable"},
        {70, "Permission denied"},
        {75, "Path/File access error"},
        {76, "Path not found"},
        {482, "Printer error"},
    };
    for (const auto& [n, text] : table)
        if (n == number) return text;
    return "Application-defined or object-defined error";
}

RuntimeError AsRuntimeError(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return RuntimeError(7);
    } catch (const std::out_of_range&) {
        return RuntimeError(9);
    } catch (const std::exception& e) {
        return RuntimeError(482, e.what());
    }
}

} // namespace papyra
