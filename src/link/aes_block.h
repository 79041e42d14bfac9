#pragma once
// AES-128 on single 16-byte blocks (ECB, no padding, no chaining): each TCP
// frame carries exactly one block, encrypted on its own.

#include "link/tcp_frame_layout.h"

namespace corvanta {

AesBlock aes128EncryptBlock(const AesKey& key, const AesBlock& plain);
AesBlock aes128DecryptBlock(const AesKey& key, const AesBlock& cipher);

}  // namespace corvanta
