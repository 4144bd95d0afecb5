#pragma once

#include <cstdint>
#include <new>
#include <stdexcept>

#include "base/Error.h"
#include "base/ModError.h"

// Checked 32-bit arithmetic for the report and the preview: a result outside the 32-bit range
// is an overflow, trapped and logged as error 6 by ReportTrap.
namespace Checked {

inline int32_t Add(int32_t a, int32_t b) {
    int32_t r = 0;
    if (__builtin_add_overflow(a, b, &r)) {
        throw std::overflow_error("Overflow");
    }
    return r;
}

inline int32_t Sub(int32_t a, int32_t b) {
    int32_t r = 0;
    if (__builtin_sub_overflow(a, b, &r)) {
        throw std::overflow_error("Overflow");
    }
    return r;
}

inline int32_t Mul(int32_t a, int32_t b) {
    int32_t r = 0;
    if (__builtin_mul_overflow(a, b, &r)) {
        throw std::overflow_error("Overflow");
    }
    return r;
}

} // namespace Checked

// A failure already logged where it happened: the procedures above it leave quietly.
struct AlreadyLogged {};

struct DivisionByZero : std::domain_error {
    static constexpr int32_t Number = 11;
    DivisionByZero() : std::domain_error("Division by zero") {}
};

// A procedure's error handler: an unexpected failure is logged under the module and the
// procedure with its classic number, and the procedure returns. True when the body ran through.
template <class F> bool ReportTrap(const char* module, const char* procedure, F&& body) {
    try {
        body();
        return true;
    } catch (const AlreadyLogged&) {
    } catch (const std::overflow_error&) {
        ModError::LogError(module, procedure, MakeError(ErrorNumber::Overflow));
    } catch (const DivisionByZero& e) {
        ModError::LogError(module, procedure, 0, DivisionByZero::Number, e.what());
    } catch (const std::bad_alloc&) {
        ModError::LogError(module, procedure, MakeError(ErrorNumber::OutOfMemory));
    } catch (const std::exception& e) {
        ModError::LogError(module, procedure, 0, ErrorNumber::InvalidCall, e.what());
    }
    return false;
}
