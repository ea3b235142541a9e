#pragma once

#include <string>
#include <utility>
#include <variant>

namespace chengxi::xls {

// Why something failed, in words fit for a one-line message.
struct Failure {
    std::string reason;
};

// A value or the reason it could not be produced. The workbook layer never
// throws; every fallible step returns one of these.
template <class T> class Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<T>(state_); }
    const T& value() const& { return std::get<T>(state_); }
    T&& value() && { return std::get<T>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    // Empty when the result holds a value.
    const std::string& error() const {
        static const std::string none;
        return ok() ? none : std::get<Failure>(state_).reason;
    }

private:
    std::variant<T, Failure> state_;
};

// Success or the reason for failure, for steps that produce nothing.
class Status {
public:
    Status() = default;
    Status(Failure failure) : failed_(true), reason_(std::move(failure.reason)) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return reason_; }

private:
    bool failed_ = false;
    std::string reason_;
};

inline Failure fail(std::string reason) {
    return Failure{std::move(reason)};
}

} // namespace chengxi::xls
