#pragma once

#include <functional>
#include <utility>

// A value that calls back after every assignment, so that what shows it follows each
// writer without the writers having to remember to tell.
template <class T> class Watched {
public:
    Watched(T value, std::function<void()> changed)
        : value_(std::move(value)), changed_(std::move(changed)) {}
    Watched(const Watched&) = delete;
    Watched& operator=(const Watched&) = delete;

    Watched& operator=(T value) {
        value_ = std::move(value);
        if (changed_) {
            changed_();
        }
        return *this;
    }
    operator const T&() const { return value_; }

private:
    T value_;
    std::function<void()> changed_;
};
