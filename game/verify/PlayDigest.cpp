#include "game/verify/PlayDigest.h"

#include <openssl/evp.h>

#include <cstring>

namespace quelvane {

void PlayDigest::Free::operator()(EVP_MD_CTX* context) const {
    EVP_MD_CTX_free(context);
}

PlayDigest::PlayDigest() : context_(EVP_MD_CTX_new()) {
    if (context_ && EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1)
        context_.reset();
}

void PlayDigest::add(const TraceState& state) {
    std::string row;
    for (const auto& [name, value] : state) {
        if (std::strcmp(name, "frames") == 0 || std::strcmp(name, "tick") == 0)
            continue;
        row += value;
        row += '\t';
    }
    row.back() = '\n';
    if (context_ && EVP_DigestUpdate(context_.get(), row.data(), row.size()) != 1)
        context_.reset();
}

std::string PlayDigest::finish() {
    unsigned char sum[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!context_ || EVP_DigestFinal_ex(context_.get(), sum, &size) != 1)
        return {};
    context_.reset();
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < size; ++i) {
        text += kHex[sum[i] >> 4];
        text += kHex[sum[i] & 15];
    }
    return text;
}

}  // namespace quelvane
