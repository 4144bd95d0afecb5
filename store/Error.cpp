#include "store/Error.h"

#include <cerrno>

std::string ErrorDescription(int32_t number) {
    switch (number) {
    case ErrorNumber::InvalidCall:
        return "Invalid procedure call or argument";
    case ErrorNumber::Overflow:
        return "Overflow";
    case ErrorNumber::OutOfMemory:
        return "Out of memory";
    case ErrorNumber::TypeMismatch:
        return "Type mismatch";
    case ErrorNumber::FileNotFound:
        return "File not found";
    case ErrorNumber::DeviceIo:
        return "Device I/O error";
    case ErrorNumber::BadRecordLength:
        return "Bad record length";
    case ErrorNumber::DiskFull:
        return "Disk full";
    case ErrorNumber::PermissionDenied:
        return "Permission denied";
    case ErrorNumber::PathFileAccess:
        return "Path/File access error";
    case ErrorNumber::KeyExists:
        return "This key is already associated with an element of this collection";
    default:
        return "Application-defined or object-defined error";
    }
}

Error MakeError(int32_t number) {
    return Error{number, ErrorDescription(number)};
}

Error ErrorFromErrno(int err) {
    switch (err) {
    case ENOENT:
        return MakeError(ErrorNumber::FileNotFound);
    case ENOSPC:
    case EDQUOT:
        return MakeError(ErrorNumber::DiskFull);
    case EACCES:
    case EPERM:
    case EROFS:
        return MakeError(ErrorNumber::PermissionDenied);
    case EIO:
        return MakeError(ErrorNumber::DeviceIo);
    default:
        return MakeError(ErrorNumber::PathFileAccess);
    }
}
