#include "link/aes_block.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace corvanta {
namespace {

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

AesBlock runBlock(const AesKey& key, const AesBlock& in, bool encrypt)
{
    CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    AesBlock out{};
    int produced = 0;
    // A failure here means libcrypto itself is broken; there is no sensible
    // block to hand back, so it is not hidden behind a zero block.
    if (!ctx
        || EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, key.data(), nullptr,
                             encrypt ? 1 : 0) != 1
        || EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1
        || EVP_CipherUpdate(ctx.get(), out.data(), &produced, in.data(),
                            static_cast<int>(in.size())) != 1
        || produced != static_cast<int>(out.size())) {
        throw std::runtime_error("AES-128 block operation failed");
    }
    return out;
}

}  // namespace

AesBlock aes128EncryptBlock(const AesKey& key, const AesBlock& plain)
{
    return runBlock(key, plain, true);
}

AesBlock aes128DecryptBlock(const AesKey& key, const AesBlock& cipher)
{
    return runBlock(key, cipher, false);
}

}  // namespace corvanta
