#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace chengxi::ui {

struct Services;

// Typed texts reach the database as code page 936 bytes. When one of them
// holds a character that code page lacks (an emoji, a rare character), the
// librarian is told which character, in a box titled "提示", and false is
// returned: the operation then stops before it looks anything up or writes
// anything. True when every text can be stored as it is.
bool checkStorable(const Services& services, std::initializer_list<std::string_view> texts);

// The message naming `character`, which code page 936 lacks.
std::string unstorableCharacterMessage(std::string_view character);

} // namespace chengxi::ui
