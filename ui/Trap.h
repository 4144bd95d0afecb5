#pragma once

#include <exception>
#include <new>

#include "base/ModError.h"

// A handler's error trap: an unexpected failure is logged under the window's and the
// handler's names, and the handler returns as it stood.
template <class F> void Trap(const char* form, const char* procedure, F&& body) {
    try {
        body();
    } catch (const std::bad_alloc&) {
        ModError::LogError(form, procedure, MakeError(ErrorNumber::OutOfMemory));
    } catch (const std::exception& e) {
        ModError::LogError(form, procedure, 0, ErrorNumber::InvalidCall, e.what());
    }
}
