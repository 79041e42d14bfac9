#include "link/aes_block.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace corvanta {
namespace {

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

// Every TCP frame is one block under the same key, so the expanded key is
// kept per thread and direction: setting up a context costs many times the
// block itself. ECB carries nothing from one block to the next, so a kept
// context gives the same bytes as a new one.
struct KeptCipher {
    CipherContext ctx{nullptr, &EVP_CIPHER_CTX_free};
    AesKey key{};
};

EVP_CIPHER_CTX* cipherFor(const AesKey& key, bool encrypt)
{
    thread_local KeptCipher kept[2];
    KeptCipher& k = kept[encrypt ? 1 : 0];
    if (k.ctx && k.key == key) return k.ctx.get();
    k.ctx.reset(EVP_CIPHER_CTX_new());
    if (!k.ctx
        || EVP_CipherInit_ex(k.ctx.get(), EVP_aes_128_ecb(), nullptr, key.data(), nullptr, encrypt ? 1 : 0) != 1
        || EVP_CIPHER_CTX_set_padding(k.ctx.get(), 0) != 1) {
        k.ctx.reset();
        return nullptr;
    }
    k.key = key;
    return k.ctx.get();
}

AesBlock runBlock(const AesKey& key, const AesBlock& in, bool encrypt)
{
    EVP_CIPHER_CTX* const ctx = cipherFor(key, encrypt);
    AesBlock out{};
    int produced = 0;
    // A failure here means libcrypto itself is broken; there is no sensible
    // block to hand back, so it is not hidden behind a zero block.
    if (!ctx
        || EVP_CipherUpdate(ctx, out.data(), &produced, in.data(), static_cast<int>(in.size())) != 1
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
