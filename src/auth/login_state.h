#pragma once

#include <cstdint>
#include <string>

namespace chengxi::auth {

// Kept for the life of the program and shared by the login and the password change.
struct LoginState {
    int failureCounter = 0;       // wrong passwords so far
    std::string currentCode;      // the verification code last drawn
    std::uint32_t seedOffset = 0; // keeps successive seeds of the code apart
};

} // namespace chengxi::auth
