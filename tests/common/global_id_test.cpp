// Global ids: SHA-256 against the standard's own examples (one block, two blocks, the padding edge),
// and UUIDs that are version 4 and not repeated.
#include <gtest/gtest.h>

#include <set>

#include "common/global_id.h"

TEST(GlobalId, Sha256GivesTheStandardsDigests) {
    EXPECT_EQ(common::sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(common::sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(common::sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(common::sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // 55 and 56 bytes: the length fits the last block, or needs one more.
    EXPECT_NE(common::sha256Hex(std::string(55, 'x')), common::sha256Hex(std::string(56, 'x')));
    EXPECT_EQ(common::sha256Hex(std::string("a\0b", 3)).size(), 64u);
    EXPECT_NE(common::sha256Hex(std::string("a\0b", 3)), common::sha256Hex("a"));
}

TEST(GlobalId, UuidsAreVersionFourAndNeverRepeated) {
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::string id = common::newUuid();
        ASSERT_EQ(id.size(), 36u);
        EXPECT_EQ(id[8], '-');
        EXPECT_EQ(id[13], '-');
        EXPECT_EQ(id[14], '4') << id;
        EXPECT_NE(std::string("89ab").find(id[19]), std::string::npos) << id;
        EXPECT_EQ(id.find_first_not_of("0123456789abcdef-"), std::string::npos) << id;
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 2000u);
}
