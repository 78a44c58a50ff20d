#include "platform/pdf/FileErrors.h"

#include "platform/RuntimeError.h"

#include <cerrno>

namespace papyra {

int RuntimeErrorForErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return 61;
    case EACCES:
    case EPERM:
    case EROFS:
        return 70;
    case ENOENT:
    case ENOTDIR:
        return 76;
    default:
        return 57;
    }
}

void ThrowFileError(int error, const std::string& subject) {
    throw RuntimeError(RuntimeErrorForErrno(error)).About(subject);
}

} // namespace papyra
