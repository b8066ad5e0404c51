// The digest behind the keys of rows saved before rows had keys; check values from Python's hashlib.

#include "results/sha256.h"
#include "results/store_copy.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string hex(const std::array<std::uint8_t, 32>& digest) {
    static const char* const digits = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : digest) text += {digits[byte >> 4], digits[byte & 0xf]};
    return text;
}

} // namespace

TEST(Sha256, KnownDigestsAcrossTheBlockBoundaries) {
    std::string bytes;
    for (int i = 0; i < 1024; ++i) bytes += static_cast<char>(i % 256);
    const struct {
        std::string input, digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {bytes, "785b0751fc2c53dc14a4ce3d800e69ef9ce1009eb327ccf458afe09c242c26c9"},
    };
    for (const auto& c : cases) EXPECT_EQ(hex(xkv::sha256(c.input)), c.digest) << c.input.size() << " bytes";
}

TEST(Sha256, ADerivedRowKeyIsTheDigestOfTheRowsTextsEachAfterItsLength) {
    // sha256(b"1:719:2021-03-04 05:06:071:a0:2:bc"), its first 16 bytes
    EXPECT_EQ(xkv::derived_row_key("7", "2021-03-04 05:06:07", {"a", "", "bc"}),
              "row-5c09f0f5859cd8d77c60b23d4e3834c1");
}
