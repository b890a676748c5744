#include "data/data_test_util.h"

#include "data/ArchiveAccess.h"
#include "data/KilnArchive.h"
#include "data/XmlLoad.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <zlib.h>

namespace bw {
namespace {

using test::Bytes;
using test::Le32;
using test::Le64;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const TDateTime kDate = 45000.5; // 2023-03-15 12:00

// Opens (creating) an archive for update in a temp folder.
struct Archive : ::testing::Test {
    TempDir dir;
    std::string path = dir.File("test.dan");
    TKilnArchive archive;

    void OpenUpdate() { ASSERT_TRUE(archive.OpenFile(path)); }
    bool Write(const std::string& key, const std::string& data) {
        return archive.WriteRecord(key, data.data(), data.size(), artFile, kDate);
    }
    std::string Read(TKilnArchive& a, const std::string& key) {
        std::vector<uint8_t> d;
        EXPECT_TRUE(a.ReadRecord(key, d)) << key;
        return std::string(d.begin(), d.end());
    }
    TKilnArchive ReopenReadOnly() {
        TKilnArchive a;
        a.SetOpenMode(aomReadOnly);
        EXPECT_TRUE(a.OpenFile(path));
        return a;
    }
};

// Archive access is process-wide; make sure no test leaves it locked.
struct ArchiveLocked : Archive {
    void TearDown() override { UnlockArchiveAccess(); }
};

TEST_F(Archive, EmptyArchiveIsExactlyTheSixteenByteHeader) {
    OpenUpdate();
    EXPECT_TRUE(archive.Ready());
    EXPECT_EQ(archive.RecordCount(), 0);
    EXPECT_EQ(archive.FileSize(), 16);
    const auto bytes = ReadBytes(path);
    const std::vector<uint8_t> want{'A', 'S', 'V', 'F', 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(bytes, want);

    // Overwrite mode empties an existing archive and then behaves as update.
    ASSERT_TRUE(Write("a", "data"));
    TKilnArchive fresh;
    fresh.SetOpenMode(aomOverwrite);
    ASSERT_TRUE(fresh.OpenFile(path));
    EXPECT_EQ(fresh.OpenMode(), aomUpdate);
    EXPECT_EQ(ReadBytes(path), want);
}

TEST_F(Archive, FirstRecordStartsAt16AndTheTableFollowsIt) {
    OpenUpdate();
    const std::string data = "Hello, archive! Hello, archive! Hello, archive!";
    ASSERT_TRUE(archive.WriteRecord("Greeting.txt", data.data(), data.size(), artImage, kDate));
    const auto b = ReadBytes(path);

    // The stored bytes are the level-9 zlib stream of the data.
    std::vector<uint8_t> packed(compressBound(data.size()));
    uLongf packedSize = packed.size();
    ASSERT_EQ(compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(data.data()),
                        data.size(), 9),
              Z_OK);
    packed.resize(packedSize);

    const uint64_t tableOffset = 16 + 21 + packed.size();
    EXPECT_EQ(Le32(b, 4), 1u);
    EXPECT_EQ(Le64(b, 8), tableOffset);
    EXPECT_EQ(b[16], artImage);
    EXPECT_EQ(Le32(b, 17), data.size());
    EXPECT_EQ(Le32(b, 21), packed.size());
    double date;
    const uint64_t dateBits = Le64(b, 25);
    std::memcpy(&date, &dateBits, 8);
    EXPECT_EQ(date, kDate);
    EXPECT_EQ(Le32(b, 33), crc32(0, reinterpret_cast<const Bytef*>(data.data()), data.size()));
    EXPECT_TRUE(std::equal(packed.begin(), packed.end(), b.begin() + 37));
    // Table: key length, key, record offset 16; nothing after it.
    ASSERT_EQ(b.size(), tableOffset + 2 + 12 + 8);
    EXPECT_EQ(b[tableOffset], 12);
    EXPECT_EQ(b[tableOffset + 1], 0);
    EXPECT_EQ(std::string(b.begin() + tableOffset + 2, b.begin() + tableOffset + 14),
              "Greeting.txt");
    EXPECT_EQ(Le64(b, tableOffset + 14), 16u);
    EXPECT_EQ(archive.FileSize(), static_cast<int64_t>(b.size()));

    auto ro = ReopenReadOnly();
    ASSERT_EQ(ro.RecordCount(), 1);
    EXPECT_EQ(ro.RecordKey(0), "Greeting.txt");
    EXPECT_EQ(ro.RecordType(0), artImage);
    EXPECT_EQ(ro.RecordDate(0), kDate);
    EXPECT_FALSE(ro.RecordSecure(0));
    EXPECT_EQ(Read(ro, "Greeting.txt"), data);
}

TEST_F(Archive, KeysFoldAsciiLettersOnly) {
    OpenUpdate();
    ASSERT_TRUE(Write("TEXT.XML", "upper"));
    ASSERT_TRUE(Write("\xC3\x84pfel.xml", "A-umlaut")); // "Äpfel.xml"
    ASSERT_TRUE(Write("\xC3\xA4pfel.xml", "a-umlaut")); // "äpfel.xml": a different key
    EXPECT_EQ(archive.RecordCount(), 3);
    EXPECT_EQ(archive.IndexOf("text.xml"), 0);
    EXPECT_EQ(archive.IndexOf("Text.Xml"), 0);
    EXPECT_EQ(archive.IndexOf("text.xm"), -1);
    EXPECT_EQ(archive.IndexOf("text.xmlx"), -1);
    EXPECT_EQ(Read(archive, "\xC3\x84PFEL.XML"), "A-umlaut");
    EXPECT_EQ(Read(archive, "\xC3\xA4PFEL.xml"), "a-umlaut");

    // Writing under a key in other letter case replaces the record.
    ASSERT_TRUE(Write("text.xml", "lower"));
    EXPECT_EQ(archive.RecordCount(), 3);
    EXPECT_EQ(Read(archive, "TEXT.xml"), "lower");
}

TEST_F(Archive, LookupWorksForManyKeysInAnyOrder) {
    OpenUpdate();
    // Written in sorted order: the worst case for a naive quicksort.
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(Write("key" + std::to_string(1000 + i), ""));
    auto ro = ReopenReadOnly();
    for (int i = 0; i < 300; ++i) EXPECT_EQ(ro.IndexOf("KEY" + std::to_string(1000 + i)), i);
    EXPECT_EQ(ro.IndexOf("key0999"), -1);
    EXPECT_EQ(ro.IndexOf(""), -1);
}

TEST_F(Archive, LongKeysAreCutTo65535Bytes) {
    OpenUpdate();
    const std::string longKey(70000, 'k');
    ASSERT_TRUE(Write(longKey, "x"));
    EXPECT_EQ(archive.RecordKey(0).size(), 65535u);
    auto ro = ReopenReadOnly();
    ASSERT_EQ(ro.RecordCount(), 1);
    EXPECT_EQ(ro.RecordKey(0), longKey.substr(0, 65535));
    EXPECT_EQ(Read(ro, longKey.substr(0, 65535)), "x");
    // The cut never splits a UTF-8 character.
    std::string wide;
    for (int i = 0; i < 35000; ++i) wide += "\xC3\xA9";
    EXPECT_EQ(TKilnArchive::CutKey(wide).size(), 65534u);
    EXPECT_EQ(TKilnArchive::CutKey("short"), "short");
}

TEST_F(Archive, EmptyRecordHasCrcZeroAndReadsBackEmpty) {
    OpenUpdate();
    ASSERT_TRUE(archive.WriteRecord("empty", nullptr, 0, artFile, kDate));
    EXPECT_EQ(archive.RecordChecksum(0), 0u);
    EXPECT_EQ(archive.RecordOrigSize(0), 0u);
    auto ro = ReopenReadOnly();
    std::vector<uint8_t> d{1, 2, 3};
    EXPECT_EQ(ro.ReadRecordAt(0, d), ArchiveReadResult::Ok);
    EXPECT_TRUE(d.empty());
}

TEST_F(Archive, ReplacingARecordKeepsTheFileCompact) {
    OpenUpdate();
    ASSERT_TRUE(Write("a", std::string(5000, 'a')));
    ASSERT_TRUE(Write("b", "bee"));
    ASSERT_TRUE(Write("a", "short"));
    EXPECT_EQ(archive.RecordCount(), 2);
    EXPECT_EQ(archive.RecordKey(0), "b");
    EXPECT_EQ(archive.RecordKey(1), "a");
    auto ro = ReopenReadOnly();
    EXPECT_EQ(Read(ro, "a"), "short");
    EXPECT_EQ(Read(ro, "b"), "bee");
    // Records follow each other from byte 16 and the table ends the file.
    const int64_t rec0 = 21 + ro.RecordPhysSize(0);
    const int64_t rec1 = 21 + ro.RecordPhysSize(1);
    EXPECT_EQ(ro.Record(0)->Offset, 16);
    EXPECT_EQ(ro.Record(1)->Offset, 16 + rec0);
    EXPECT_EQ(ro.TableOffset(), 16 + rec0 + rec1);
    EXPECT_EQ(ro.FileSize(), ro.TableOffset() + (2 + 1 + 8) * 2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("archive.temp.asvf")));
}

TEST_F(Archive, RenameAndRemove) {
    OpenUpdate();
    ASSERT_TRUE(Write("one", "1"));
    ASSERT_TRUE(Write("two", "2"));
    ASSERT_TRUE(Write("three", "3"));

    EXPECT_FALSE(archive.RenameRecord("missing", "x"));
    EXPECT_FALSE(archive.RenameRecord("one", "TWO")); // another record has that key
    ASSERT_TRUE(archive.RenameRecord("one", "a much longer first key"));
    ASSERT_TRUE(archive.RenameRecord("two", "TWO")); // letter case of the record itself
    ASSERT_TRUE(archive.RenameRecord("three", "3")); // shorter: the file shrinks
    EXPECT_EQ(archive.FileSize(), static_cast<int64_t>(ReadBytes(path).size()));

    EXPECT_FALSE(archive.RemoveRecord("missing"));
    ASSERT_TRUE(archive.RemoveRecord("two"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("archive.temp.asvf")));

    auto ro = ReopenReadOnly();
    ASSERT_EQ(ro.RecordCount(), 2);
    EXPECT_EQ(ro.RecordKey(0), "a much longer first key");
    EXPECT_EQ(ro.RecordKey(1), "3");
    EXPECT_EQ(Read(ro, "A MUCH LONGER FIRST KEY"), "1");
    EXPECT_EQ(Read(ro, "3"), "3");
    EXPECT_EQ(ro.IndexOf("one"), -1);
    EXPECT_EQ(ro.IndexOf("two"), -1);
    EXPECT_EQ(ro.FileSize(), static_cast<int64_t>(ReadBytes(path).size()));

    // Read-only archives refuse every change.
    EXPECT_FALSE(ro.RemoveRecord("3"));
    EXPECT_FALSE(ro.RenameRecord("3", "4"));
    EXPECT_FALSE(ro.WriteRecord("5", "5", 1));
}

TEST_F(Archive, StreamsReadAndWriteFromTheirPosition) {
    OpenUpdate();
    std::istringstream in("skip:payload");
    in.seekg(5);
    ASSERT_TRUE(archive.WriteStream("s", in, artFont, kDate));
    EXPECT_EQ(archive.RecordType(0), artFont);
    std::ostringstream out;
    out << "head:";
    ASSERT_TRUE(archive.ReadStream("S", out));
    EXPECT_EQ(out.str(), "head:payload");
    std::vector<uint8_t> mem{9, 9};
    ASSERT_TRUE(archive.ReadMemStream("s", mem));
    EXPECT_EQ(mem, Bytes("payload"));
    EXPECT_FALSE(archive.ReadMemStream("nope", mem));
    EXPECT_TRUE(mem.empty());
}

TEST_F(Archive, OpeningAndProperties) {
    // A missing file fails read-only and leaves the archive empty, unnamed and not ready.
    archive.SetOpenMode(aomReadOnly);
    EXPECT_FALSE(archive.OpenFile(path));
    EXPECT_FALSE(archive.Ready());
    EXPECT_EQ(archive.FileName(), "");
    EXPECT_FALSE(std::filesystem::exists(path));

    archive.SetOpenMode(aomUpdate);
    ASSERT_TRUE(archive.OpenFile(path));
    ASSERT_TRUE(Write("k", "v"));
    EXPECT_TRUE(archive.OpenFile(path)); // the same name again does nothing
    EXPECT_EQ(archive.RecordCount(), 1);

    // Properties out of range give empty values.
    EXPECT_EQ(archive.RecordKey(1), "");
    EXPECT_EQ(archive.RecordKey(-1), "");
    EXPECT_EQ(archive.RecordOrigSize(5), 0u);
    EXPECT_EQ(archive.RecordPhysSize(-3), 0u);
    EXPECT_EQ(archive.RecordChecksum(1), 0u);
    EXPECT_FALSE(archive.RecordSecure(1));
    EXPECT_EQ(archive.RecordDate(1), 0.0);
    EXPECT_EQ(archive.Record(1), nullptr);

    // "\" separates folders like "/".
    TKilnArchive other;
    std::string backslashed = path;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    ASSERT_TRUE(other.OpenFile(backslashed));
    EXPECT_EQ(other.FileName(), path);
    EXPECT_EQ(other.RecordCount(), 1);

    // An empty name closes.
    EXPECT_FALSE(archive.OpenFile(""));
    EXPECT_FALSE(archive.Ready());
    EXPECT_EQ(archive.RecordCount(), 0);
    std::vector<uint8_t> d;
    EXPECT_FALSE(archive.ReadRecord("k", d));
    EXPECT_FALSE(archive.Refresh());
    EXPECT_FALSE(Write("k", "v"));
}

TEST_F(ArchiveLocked, LockedAccessRefusesWritesAndLeavesTheFileAlone) {
    OpenUpdate();
    ASSERT_TRUE(Write("kept", "data"));
    const auto before = ReadBytes(path);

    LockArchiveAccess();
    EXPECT_TRUE(ArchiveAccessLocked());
    EXPECT_FALSE(Write("new", "x"));
    EXPECT_FALSE(Write("kept", "replacement"));
    EXPECT_FALSE(archive.RenameRecord("kept", "other"));
    EXPECT_FALSE(archive.RemoveRecord("kept"));
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(archive.RecordKey(0), "kept");

    // An archive open for update cannot be read; a read-only one can.
    std::vector<uint8_t> d;
    EXPECT_FALSE(archive.ReadRecord("kept", d));
    TKilnArchive ro;
    ro.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(ro.OpenFile(path));
    EXPECT_EQ(Read(ro, "kept"), "data");

    // No archive file can be created.
    TKilnArchive created;
    EXPECT_FALSE(created.OpenFile(dir.File("new.dan")));
    created.SetOpenMode(aomOverwrite);
    EXPECT_FALSE(created.OpenFile(path));
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.dan")));
    EXPECT_EQ(ReadBytes(path), before);

    UnlockArchiveAccess();
    EXPECT_TRUE(Write("new", "x"));
}

// --- damaged files -------------------------------------------------------------------------

struct ArchiveDamaged : Archive {
    std::vector<uint8_t> good;
    void SetUp() override {
        OpenUpdate();
        ASSERT_TRUE(Write("first", std::string(3000, 'f') + "tail"));
        ASSERT_TRUE(Write("second", "the second record"));
        good = ReadBytes(path);
    }
    // Writes a damaged copy and opens it read-only.
    bool OpenDamaged(const std::vector<uint8_t>& bytes, TKilnArchive& a) {
        const std::string damaged = dir.File("damaged.dan");
        WriteBytes(damaged, bytes);
        a.SetOpenMode(aomReadOnly);
        return a.OpenFile(damaged);
    }
    std::size_t TableOffset() const { return static_cast<std::size_t>(Le64(good, 8)); }
    std::size_t SecondOffset() const {
        return static_cast<std::size_t>(Le64(good, TableOffset() + 2 + 5 + 8 + 2 + 6));
    }
};

TEST_F(ArchiveDamaged, BadHeadersAndTablesFailTheOpen) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const std::vector<Case> cases{
        {"signature", [](auto& b) { b[3] = 'X'; }},
        {"short file", [](auto& b) { b.resize(15); }},
        {"huge count", [](auto& b) { test::PutLe32(b, 4, 0x7FFFFFFF); }},
        {"negative count", [](auto& b) { test::PutLe32(b, 4, 0xFFFFFFFF); }},
        {"table offset below 16", [](auto& b) { test::PutLe64(b, 8, 15); }},
        {"table offset past the end", [](auto& b) { test::PutLe64(b, 8, b.size() + 1); }},
        {"negative table offset", [](auto& b) { test::PutLe64(b, 8, ~0ull); }},
        {"key length past the end",
         [this](auto& b) { b[TableOffset()] = 0xFF, b[TableOffset() + 1] = 0xFF; }},
        {"record offset past the end",
         [this](auto& b) { test::PutLe64(b, TableOffset() + 2 + 5, b.size() - 10); }},
        {"negative record offset",
         [this](auto& b) { test::PutLe64(b, TableOffset() + 2 + 5, ~0ull); }},
        {"truncated table", [](auto& b) { b.resize(b.size() - 3); }},
    };
    for (const auto& c : cases) {
        auto bytes = good;
        c.damage(bytes);
        TKilnArchive a;
        EXPECT_FALSE(OpenDamaged(bytes, a)) << c.what;
        EXPECT_FALSE(a.Ready()) << c.what;
        EXPECT_EQ(a.RecordCount(), 0) << c.what;
    }
}

TEST_F(ArchiveDamaged, BadRecordsFailOnlyTheirOwnRead) {
    struct Case {
        const char* what;
        std::size_t field; // offset inside the second record's header
        uint32_t value;
        ArchiveReadResult expected;
    };
    const std::size_t rec = SecondOffset();
    const uint32_t orig = Le32(good, rec + 1);
    const uint32_t phys = Le32(good, rec + 5);
    const uint32_t crc = Le32(good, rec + 17);
    const std::vector<Case> cases{
        {"checksum", 17, crc ^ 1, ArchiveReadResult::BadChecksum},
        {"OrigSize one more", 1, orig + 1, ArchiveReadResult::SizeMismatch},
        {"OrigSize one less", 1, orig - 1, ArchiveReadResult::SizeMismatch},
        {"OrigSize 4 GiB", 1, 0xFFFFFFFF, ArchiveReadResult::ImplausibleSize},
        {"PhysSize past the end", 5, 0xFFFFFF00, ArchiveReadResult::OutOfFile},
        {"PhysSize too small", 5, phys - 4, ArchiveReadResult::BadData},
    };
    for (const auto& c : cases) {
        auto bytes = good;
        test::PutLe32(bytes, rec + c.field, c.value);
        TKilnArchive a;
        ASSERT_TRUE(OpenDamaged(bytes, a)) << c.what;
        std::vector<uint8_t> d;
        EXPECT_EQ(a.ReadRecordAt(1, d), c.expected) << c.what;
        EXPECT_TRUE(d.empty()) << c.what;
        EXPECT_FALSE(a.ReadRecord("second", d)) << c.what;
        EXPECT_EQ(Read(a, "first"), std::string(3000, 'f') + "tail") << c.what;
    }

    // Flipped bits in the compressed stream: never handed over.
    auto bytes = good;
    bytes[rec + 21 + 4] ^= 0x55;
    TKilnArchive a;
    ASSERT_TRUE(OpenDamaged(bytes, a));
    std::vector<uint8_t> d;
    EXPECT_NE(a.ReadRecordAt(1, d), ArchiveReadResult::Ok);
    EXPECT_TRUE(d.empty());
}

TEST_F(ArchiveDamaged, WritingAfterATableThatIsNotAtTheEndKeepsTheRecords) {
    // Move the table in front of the second record's data: a write must not overwrite data.
    const std::size_t table = TableOffset();
    std::vector<uint8_t> tableBytes(good.begin() + table, good.end());
    const std::size_t second = SecondOffset();
    // New layout: header, first record, table copy, second record (offsets patched).
    std::vector<uint8_t> rebuilt(good.begin(), good.begin() + second);
    const std::size_t newTable = rebuilt.size();
    rebuilt.insert(rebuilt.end(), tableBytes.begin(), tableBytes.end());
    const std::size_t newSecond = rebuilt.size();
    rebuilt.insert(rebuilt.end(), good.begin() + second, good.begin() + table);
    test::PutLe64(rebuilt, 8, newTable);
    test::PutLe64(rebuilt, newTable + 2 + 5 + 8 + 2 + 6, newSecond);
    WriteBytes(path, rebuilt);

    TKilnArchive a;
    ASSERT_TRUE(a.OpenFile(path));
    ASSERT_TRUE(a.WriteRecord("third", "3", 1, artFile, kDate));
    ASSERT_TRUE(a.RenameRecord("first", "premier"));
    auto ro = ReopenReadOnly();
    EXPECT_EQ(Read(ro, "premier"), std::string(3000, 'f') + "tail");
    EXPECT_EQ(Read(ro, "second"), "the second record");
    EXPECT_EQ(Read(ro, "third"), "3");
}

// --- enciphered records -------------------------------------------------------------------

TEST_F(Archive, SecureRecordsNeedTheirKey) {
    OpenUpdate();
    const XteaKey key{0x01234567, 0x89ABCDEF, 0xFEDCBA98, 0x76543210};
    const std::string secret = "the secret text, longer than one block";
    archive.SetPassword(&key);
    ASSERT_TRUE(Write("secret", secret));
    ASSERT_TRUE(Write("tiny", "abc"));
    archive.SetPassword(nullptr);
    ASSERT_TRUE(Write("plain", "open"));

    const auto b = ReadBytes(path);
    EXPECT_EQ(b[16], 0xF0 + artFile);
    EXPECT_TRUE(archive.RecordSecure(0));
    EXPECT_NE(archive.Record(0)->InitVec, archive.Record(1)->InitVec);

    auto ro = ReopenReadOnly();
    std::vector<uint8_t> d;
    EXPECT_EQ(ro.ReadRecordAt(0, d), ArchiveReadResult::SecureWithoutKey);
    EXPECT_EQ(Read(ro, "plain"), "open");
    ro.SetPassword(&key);
    EXPECT_EQ(Read(ro, "secret"), secret);
    EXPECT_EQ(Read(ro, "tiny"), "abc");
    const XteaKey wrong{1, 2, 3, 4};
    ro.SetPassword(&wrong);
    EXPECT_NE(ro.ReadRecordAt(0, d), ArchiveReadResult::Ok);
    EXPECT_TRUE(d.empty());
}

} // namespace
} // namespace bw

namespace bw {
namespace {

// --- Overrides -------------------------------------------------------------------------------

TEST(ArchiveOverrides, ReadOnlyArchivesReadTheOverridingRecordsByKey) {
    test::TempDir dir;
    auto make = [&](const std::string& name,
                    const std::vector<std::pair<std::string, std::string>>& records) {
        TKilnArchive a;
        EXPECT_TRUE(a.OpenFile(dir.File(name)));
        for (const auto& [key, text] : records)
            EXPECT_TRUE(a.WriteRecord(key, text.data(), text.size(), artFile, kDate));
        return dir.File(name);
    };
    const std::string base = make("base.dan", {{"Levels.xml", "base list"}, {"a.xml", "base a"}});
    const std::string first = make("first.dan", {{"levels.XML", "first list"}, {"new.xml", "n"}});
    const std::string second =
        make("second.dan", {{"Levels.xml", "second list"}, {"added.xml", "<level/>"}});
    auto read = [](const TKilnArchive& a, const std::string& key) {
        std::vector<uint8_t> d;
        return a.ReadRecord(key, d) ? std::string(d.begin(), d.end()) : std::string("<none>");
    };

    TKilnArchive game;
    game.SetOpenMode(aomReadOnly);
    ASSERT_TRUE(game.OpenFile(base));
    TKilnArchive missing; // a data file the data set lacks reads the overrides too
    missing.SetOpenMode(aomReadOnly);
    missing.OpenFile(dir.File("absent.dan"));
    TKilnArchive writable;
    ASSERT_TRUE(writable.OpenFile(base));

    EXPECT_FALSE(AddArchiveOverride(dir.File("nothing.dan")));
    ASSERT_TRUE(AddArchiveOverride(first));
    ASSERT_TRUE(AddArchiveOverride(second));
    // The later override wins; keys fold case as in any archive; others stay.
    EXPECT_EQ(read(game, "Levels.xml"), "second list");
    EXPECT_EQ(read(game, "a.xml"), "base a");
    EXPECT_EQ(read(game, "new.xml"), "n");
    EXPECT_EQ(read(missing, "new.xml"), "n");
    std::vector<uint8_t> d;
    ASSERT_EQ(game.ReadRecordAt(game.IndexOf("Levels.xml"), d), ArchiveReadResult::Ok);
    EXPECT_EQ(std::string(d.begin(), d.end()), "second list") << "reads by index too";
    // Tools that write archives see their own records.
    EXPECT_EQ(read(writable, "Levels.xml"), "base list");
    // The check before a level starts sees the records only an override has.
    EXPECT_EQ(XmlRecordProblem("added.xml", &game), "");
    EXPECT_EQ(XmlRecordProblem("new.xml", &game), "does not parse");

    ClearArchiveOverrides();
    EXPECT_EQ(XmlRecordProblem("added.xml", &game), "not found");
    EXPECT_EQ(read(game, "Levels.xml"), "base list");
    EXPECT_EQ(read(game, "new.xml"), "<none>");
}

} // namespace
} // namespace bw
