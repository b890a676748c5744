#include "data/data_test_util.h"

#include "data/KilnArchive.h"
#include "data/KilnAuth.h"
#include "data/KilnXtea.h"
#include "data/XmlLoad.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

TEST(Xtea, BlockCipherMatchesPublishedVectors) {
    struct Vector {
        XteaKey key;
        uint32_t plain[2];
        uint32_t cipher[2];
    };
    const Vector vectors[] = {
        {{0, 0, 0, 0}, {0, 0}, {0xDEE9D4D8, 0xF7131ED9}},
        {{0x00010203, 0x04050607, 0x08090A0B, 0x0C0D0E0F},
         {0x41424344, 0x45464748},
         {0x497DF3D0, 0x72612CB5}},
    };
    for (const auto& v : vectors) {
        uint32_t a = v.plain[0], b = v.plain[1];
        XteaEncipherBlock(a, b, v.key);
        EXPECT_EQ(a, v.cipher[0]);
        EXPECT_EQ(b, v.cipher[1]);
        XteaDecipherBlock(a, b, v.key);
        EXPECT_EQ(a, v.plain[0]);
        EXPECT_EQ(b, v.plain[1]);
    }
}

TEST(Xtea, CbcChainsBlocksAndMasksThePartialTail) {
    const XteaKey key{11, 22, 33, 44};
    const uint64_t iv = 0x0123456789ABCDEFull;
    auto block = [&](uint32_t v0, uint32_t v1) {
        XteaEncipherBlock(v0, v1, key);
        return std::pair<uint32_t, uint32_t>{v0, v1};
    };
    auto le = [](const uint8_t* p) { return test::Le32(std::vector<uint8_t>(p, p + 4), 0); };

    // Shorter than a block: XOR with the vector enciphered twice.
    uint8_t shortData[3] = {1, 2, 3};
    XteaCbcEncipher(shortData, 3, key, iv);
    auto once = block(uint32_t(iv), uint32_t(iv >> 32));
    auto twice = block(once.first, once.second);
    EXPECT_EQ(shortData[0], uint8_t(1 ^ twice.first));
    EXPECT_EQ(shortData[2], uint8_t(3 ^ (twice.first >> 16)));

    // One block and a tail: CBC on the block, then the cipher block enciphered once more.
    uint8_t data[11] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const std::vector<uint8_t> plain(data, data + 11);
    XteaCbcEncipher(data, 11, key, iv);
    const auto c0 =
        block(le(plain.data()) ^ uint32_t(iv), le(plain.data() + 4) ^ uint32_t(iv >> 32));
    EXPECT_EQ(le(data), c0.first);
    EXPECT_EQ(le(data + 4), c0.second);
    const auto ks = block(c0.first, c0.second);
    EXPECT_EQ(data[8], uint8_t(8 ^ ks.first));
    EXPECT_EQ(data[10], uint8_t(10 ^ (ks.first >> 16)));

    // Every length round-trips.
    for (std::size_t n = 0; n <= 40; ++n) {
        std::vector<uint8_t> buf(n);
        for (std::size_t i = 0; i < n; ++i) buf[i] = uint8_t(i * 7 + 1);
        const auto orig = buf;
        XteaCbcEncipher(buf.data(), n, key, iv);
        if (n > 0) {
            EXPECT_NE(buf, orig) << n;
        }
        XteaCbcDecipher(buf.data(), n, key, iv);
        EXPECT_EQ(buf, orig) << n;
    }
}

// Unsubscribes every provider a test added, so the process-wide registry stays empty.
struct ArchiveAuth : ::testing::Test {
    std::vector<int> ids;
    void TearDown() override {
        for (int id : ids) KilnAuth().Unsubscribe(id);
    }
};

TEST_F(ArchiveAuth, NoProviderMeansNoKey) {
    TKilnArchive archive;
    EXPECT_EQ(KilnAuth().ProviderCount(), 0);
    EXPECT_FALSE(KilnAuth().Authorize(nullptr, &archive));
    EXPECT_EQ(archive.Password(), nullptr);
    KilnAuth().Unauthorize();
}

TEST_F(ArchiveAuth, ProvidersAreAskedInOrderAndBurnTheirKey) {
    test::TempDir dir;
    const std::string path = dir.File("secure.dan");
    static const XteaKey key{5, 6, 7, 8};
    {
        TKilnArchive writer;
        ASSERT_TRUE(writer.OpenFile(path));
        writer.SetPassword(&key);
        const std::string xml = "<secret value=\"42\" />";
        ASSERT_TRUE(writer.WriteRecord("secret.xml", xml.data(), xml.size()));
    }
    TKilnArchive archive;
    archive.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(archive.OpenFile(path));
    // Without a provider the record stays closed.
    EXPECT_EQ(XMLFromArchive("secret.xml", &archive), nullptr);

    std::vector<std::string> calls;
    ids.push_back(KilnAuth().Subscribe([&](void*, TKilnAuth&, TAuthType t, TKilnArchive*) {
        calls.push_back(t == atProvideKey ? "first:provide" : "first:burn");
    }));
    ids.push_back(KilnAuth().Subscribe([&](void*, TKilnAuth& auth, TAuthType t, TKilnArchive*) {
        calls.push_back(t == atProvideKey ? "second:provide" : "second:burn");
        if (t == atProvideKey) auth.ProvideKey(&key);
    }));
    ids.push_back(KilnAuth().Subscribe(
        [&](void*, TKilnAuth&, TAuthType, TKilnArchive*) { calls.push_back("third"); }));
    // Identifiers count up in subscription order.
    EXPECT_EQ(ids[1], ids[0] + 1);
    EXPECT_EQ(ids[2], ids[1] + 1);

    const auto tree = XMLFromArchive("secret.xml", &archive);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->GetFieldValue("value"), "42");
    EXPECT_EQ(calls, (std::vector<std::string>{"first:provide", "second:provide", "second:burn"}));
    // After the read the archive no longer points at the (burnt) key.
    EXPECT_EQ(archive.Password(), nullptr);
    EXPECT_FALSE(KilnAuth().Authorized());

    // A key provided outside an authorisation is ignored.
    KilnAuth().ProvideKey(&key);
    EXPECT_FALSE(KilnAuth().Authorized());
}

} // namespace
} // namespace bw
