#pragma once

#include <windows.h>

// Security attributes that let in the file's owner (and the system, which
// backs files up and indexes them) and nobody else: the Windows form of a
// 0600 file or, inherited by everything inside, a 0700 folder.
namespace chengxi::platform {

class PrivateSecurity {
public:
    enum class Kind { File, Folder };
    explicit PrivateSecurity(Kind kind);
    ~PrivateSecurity();
    PrivateSecurity(const PrivateSecurity&) = delete;
    PrivateSecurity& operator=(const PrivateSecurity&) = delete;

    // Nothing when the descriptor could not be built; the caller then falls
    // back to the folder's inherited security.
    SECURITY_ATTRIBUTES* attributes() { return descriptor_ != nullptr ? &attributes_ : nullptr; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

} // namespace chengxi::platform
