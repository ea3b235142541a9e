#include "platform/private_security_windows.h"

#include <sddl.h>

namespace chengxi::platform {

PrivateSecurity::PrivateSecurity(Kind kind) {
    // Protected (P): nothing is inherited from the folder above. OW is the
    // owner of the object, SY the system; OICI hands a folder's entries on to
    // the files and folders made inside it.
    const wchar_t* sddl = kind == Kind::File ? L"D:P(A;;FA;;;OW)(A;;FA;;;SY)"
                                             : L"D:P(A;OICI;FA;;;OW)(A;OICI;FA;;;SY)";
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_,
                                                              nullptr)) {
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
