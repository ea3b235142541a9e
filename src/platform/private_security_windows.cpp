#include "platform/private_security_windows.h"

#include "platform/file_handle_windows.h"

#include <sddl.h>
#include <string>
#include <vector>

namespace chengxi::platform {
namespace {

// The security identifier of the user this program runs as, in its text
// form; empty when it cannot be read.
std::wstring currentUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    const FileHandle held(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid,
                                &text)) {
        return {};
    }
    std::wstring sid(text);
    LocalFree(text);
    return sid;
}

} // namespace

PrivateSecurity::PrivateSecurity(Kind kind) {
    // Protected (P): nothing is inherited from the folder above. The user is
    // named by its own identifier rather than as the object's owner (OW): an
    // elevated program's files are owned by the administrators' group, and
    // Wine knows no owner rights, so it would make the file unreadable and
    // undeletable. SY is the system; OICI hands a folder's entries on to the
    // files and folders made inside it.
    const std::wstring user = currentUserSid();
    if (user.empty()) {
        return;
    }
    const std::wstring inherit = kind == Kind::File ? L"" : L"OICI";
    const std::wstring sddl =
        L"D:P(A;" + inherit + L";FA;;;" + user + L")(A;" + inherit + L";FA;;;SY)";
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor_, nullptr)) {
        descriptor_ = nullptr;
        return;
    }
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
}

PrivateSecurity::~PrivateSecurity() {
    if (descriptor_ != nullptr) {
        LocalFree(descriptor_);
    }
}

} // namespace chengxi::platform
