#include "base/Error.h"

#include <cerrno>
#include <cstring>

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
    // The classic number keeps log lines reading as they always have; where the system said
    // more than the classic text does, its own words are the description.
    int32_t number = ErrorNumber::PathFileAccess;
    switch (err) {
    case ENOENT:
        return MakeError(ErrorNumber::FileNotFound);
    case ENOSPC:
        return MakeError(ErrorNumber::DiskFull);
    case EACCES:
    case EPERM:
        return MakeError(ErrorNumber::PermissionDenied);
    case EIO:
        return MakeError(ErrorNumber::DeviceIo);
    case EDQUOT:
        number = ErrorNumber::DiskFull;
        break;
    case EROFS:
        number = ErrorNumber::PermissionDenied;
        break;
    default:
        break;
    }
    const char* text = ::strerrordesc_np(err);
    return text != nullptr ? Error{number, text} : MakeError(number);
}
