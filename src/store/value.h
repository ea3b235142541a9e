#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace chengxi::store {

// A value bound to a statement parameter: a text (UTF-8, handed to SQLite as
// code page 936) or, where the caller has one, an integer bound as such
// (a LIMIT, an OFFSET).
class Value {
public:
    Value(std::string text) : value_(std::move(text)) {}
    Value(std::string_view text) : value_(std::string(text)) {}
    Value(const char* text) : value_(std::string(text)) {}
    Value(int number) : value_(static_cast<std::int64_t>(number)) {}
    Value(std::int64_t number) : value_(number) {}

    bool isText() const { return std::holds_alternative<std::string>(value_); }
    const std::string& text() const { return std::get<std::string>(value_); }
    std::int64_t integer() const { return std::get<std::int64_t>(value_); }

    // Makes the value an empty text and hands it out to be filled, keeping
    // the room the text had: a row after row import then allocates nothing.
    std::string& emptiedText() {
        if (!isText()) {
            value_ = std::string();
        }
        std::string& text = std::get<std::string>(value_);
        text.clear();
        return text;
    }

private:
    std::variant<std::string, std::int64_t> value_;
};

} // namespace chengxi::store
