#include "sim/tcp_framing.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace corvanta::sim {

namespace {

constexpr char kFrameOpen = '{';
constexpr char kFrameClose = '}';
constexpr uint8_t kDataOpen = '[';
constexpr uint8_t kDataClose = ']';
constexpr std::size_t kPieceOffset = 3;
constexpr std::size_t kDataCloseOffset = 15;

AesBlock aesOneBlock(const AesKey& key, const AesBlock& in, bool encrypt) {
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    AesBlock out{};
    int len = 0;
    if (!ctx || EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, key.data(), nullptr, encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1 ||
        EVP_CipherUpdate(ctx.get(), out.data(), &len, in.data(), int(in.size())) != 1 || len != int(out.size()))
        throw std::runtime_error("AES-128 is not available from OpenSSL");
    return out;
}

}  // namespace

AesKey passwordKey(std::string_view password) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!password.empty() && blank(password.front())) password.remove_prefix(1);
    while (!password.empty() && blank(password.back())) password.remove_suffix(1);
    AesKey key{};
    for (std::size_t i = 0; i < key.size() && i < password.size(); ++i) key[i] = uint8_t(password[i]);
    return key;
}

AesBlock aesEncrypt(const AesKey& key, const AesBlock& plain) { return aesOneBlock(key, plain, true); }
AesBlock aesDecrypt(const AesKey& key, const AesBlock& cipher) { return aesOneBlock(key, cipher, false); }

std::vector<std::string> sealText(std::string_view text, const AesKey& key, const std::function<uint8_t()>& random) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::vector<std::string> frames;
    for (std::size_t at = 0; at < text.size(); at += kTcpPieceSize) {
        const std::string_view piece = text.substr(at, kTcpPieceSize);
        AesBlock plain{};
        const uint8_t r = random() % 255;
        plain[0] = kDataOpen;
        plain[1] = uint8_t(kHex[r >> 4]);
        plain[2] = uint8_t(kHex[r & 15]);
        for (std::size_t i = 0; i < piece.size(); ++i) plain[kPieceOffset + i] = uint8_t(piece[i]);
        plain[kDataCloseOffset] = kDataClose;
        const AesBlock cipher = aesEncrypt(key, plain);
        std::string frame(1, kFrameOpen);
        frame.append(reinterpret_cast<const char*>(cipher.data()), cipher.size());
        frame += kFrameClose;
        frames.push_back(std::move(frame));
    }
    return frames;
}

std::string FrameUnpacker::feed(std::string_view bytes) {
    pending_.append(bytes);
    std::string payload;
    std::size_t i = 0;
    while (pending_.size() - i >= kTcpFrameSize) {
        if (pending_[i] != kFrameOpen || pending_[i + kTcpFrameSize - 1] != kFrameClose) {
            ++i;
            continue;
        }
        AesBlock cipher{};
        for (std::size_t k = 0; k < cipher.size(); ++k) cipher[k] = uint8_t(pending_[i + 1 + k]);
        const AesBlock plain = aesDecrypt(key_, cipher);
        if (plain[0] != kDataOpen || plain[kDataCloseOffset] != kDataClose) {
            ++i;
            continue;
        }
        for (std::size_t k = kPieceOffset; k < kDataCloseOffset; ++k)
            if (plain[k] != 0) payload += char(plain[k]);
        i += kTcpFrameSize;
    }
    pending_.erase(0, i);
    return payload;
}

}  // namespace corvanta::sim
