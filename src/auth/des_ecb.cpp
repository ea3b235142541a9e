#include "auth/des_ecb.h"

#include <nettle/des.h>

namespace chengxi::auth {

std::string desEcbEncrypt(const DesKey& key, std::string_view blocks) {
    des_ctx context{};
    // Nettle reports a weak key by returning 0 but sets it all the same; DES
    // with a weak key is still DES, so the result is not a failure here.
    static_cast<void>(des_set_key(&context, key.data()));

    std::string out(blocks);
    const std::size_t whole = out.size() - out.size() % DES_BLOCK_SIZE;
    auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
    for (std::size_t offset = 0; offset < whole; offset += DES_BLOCK_SIZE) {
        des_encrypt(&context, DES_BLOCK_SIZE, bytes + offset, bytes + offset);
    }
    return out;
}

} // namespace chengxi::auth
