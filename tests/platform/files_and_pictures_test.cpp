#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/PictureFile.h"
#include "render/Canvas.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <sys/stat.h>

namespace bw {
namespace {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "bwtest-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() { DeleteFolder(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

TEST(Files, PathsJoinWithOneSeparatorAndStoredBackslashesBecomeSlashes) {
    EXPECT_EQ(JoinPath("a", "b"), "a/b");
    EXPECT_EQ(JoinPath("a/", "/b"), "a/b");
    EXPECT_EQ(JoinPath("", "b"), "b");
    EXPECT_EQ(NativePath("Data\\Music\\a.ogg"), "Data/Music/a.ogg");
}

TEST(Files, UserDataFolderFollowsXdgAndFallsBackToHome) {
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldXdg ? oldXdg : "";
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_DATA_HOME", "/tmp/xdg-here", 1);
    EXPECT_EQ(UserDataFolder(), "/tmp/xdg-here");
    setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(UserDataFolder(), "/home/someone/.local/share");
    setenv("HOME", savedHome.c_str(), 1);
    if (oldXdg)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(Files, AtomicWritesReplaceWholeFilesAndLeaveNoTemporaries) {
    TempFolder dir;
    const std::string sub = JoinPath(dir.Path(), "x/y/z");
    ASSERT_TRUE(CreateFolders(sub));
    const std::string file = JoinPath(sub, "f.txt");
    ASSERT_TRUE(WriteFileAtomically(file, "first version", 13));
    ASSERT_TRUE(WriteFileAtomically(file, "second", 6));
    const auto data = ReadWholeFile(file);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(data->begin(), data->end()), "second");
    EXPECT_EQ(ListFiles(sub), std::vector<std::string>{"f.txt"});
    // A folder that cannot be written leaves the call failing, not crashing.
    EXPECT_FALSE(WriteFileAtomically(JoinPath(dir.Path(), "missing/f.txt"), "x", 1));
}

// A commit that cannot happen keeps the old file and leaves no temporary behind.
TEST(Files, FailedCommitKeepsTheTargetAndRemovesTheTemporary) {
    TempFolder dir;
    const std::string target = JoinPath(dir.Path(), "f.txt");
    ASSERT_TRUE(WriteFileAtomically(target, "old", 3));
    const std::string temp = JoinPath(dir.Path(), "f.new");
    ASSERT_TRUE(WriteWholeFile(temp, "new", 3));
    // A folder in the target's place cannot be replaced by a file.
    const std::string folder = JoinPath(dir.Path(), "sub");
    ASSERT_TRUE(CreateFolders(JoinPath(folder, "inner")));
    EXPECT_FALSE(CommitFile(temp, folder));
    EXPECT_FALSE(FileExists(temp));
    EXPECT_TRUE(FolderExists(JoinPath(folder, "inner")));

    ASSERT_TRUE(WriteWholeFile(temp, "new", 3));
    ASSERT_TRUE(CommitFile(temp, target));
    const auto data = ReadWholeFile(target);
    ASSERT_TRUE(data);
    EXPECT_EQ(std::string(data->begin(), data->end()), "new");
    EXPECT_EQ(ListFiles(dir.Path()), std::vector<std::string>{"f.txt"});
}

TEST(Files, WholeFileReadsTakeOnlyRegularFilesWithinTheLimit) {
    TempFolder dir;
    const std::string file = JoinPath(dir.Path(), "f.bin");
    const std::string text = "twelve bytes";
    ASSERT_TRUE(WriteFileAtomically(file, text.data(), text.size()));
    ReadFailure why = ReadFailure::Missing;
    const auto bytes = ReadWholeFile(file, &why);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), text);
    EXPECT_EQ(why, ReadFailure::None);

    EXPECT_FALSE(ReadWholeFile(file, &why, 11));
    EXPECT_EQ(why, ReadFailure::TooLarge);
    EXPECT_TRUE(ReadWholeFile(file, &why, 12));
    EXPECT_FALSE(ReadWholeFile(JoinPath(dir.Path(), "none"), &why));
    EXPECT_EQ(why, ReadFailure::Missing);
    EXPECT_FALSE(ReadWholeFile(dir.Path(), &why)); // a folder: no exception
    EXPECT_EQ(why, ReadFailure::NotAFile);
    EXPECT_FALSE(ReadWholeFile("/dev/zero", &why)); // endless: not read at all
    EXPECT_EQ(why, ReadFailure::NotAFile);
    const std::string fifo = JoinPath(dir.Path(), "fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadWholeFile(fifo, &why)); // no writer: must not block
    EXPECT_EQ(why, ReadFailure::NotAFile);
    EXPECT_STREQ(ReadFailureText(ReadFailure::NotAFile), "is not a regular file");
}

TEST(Files, ListingFiltersByExtensionIgnoringCaseAndSortsByName) {
    TempFolder dir;
    for (const char* n : {"b.SAV", "a.sav", "c.txt"})
        ASSERT_TRUE(WriteFileAtomically(JoinPath(dir.Path(), n), "x", 1));
    ASSERT_TRUE(CreateFolders(JoinPath(dir.Path(), "d.sav")));
    EXPECT_EQ(ListFiles(dir.Path(), ".sav"), (std::vector<std::string>{"a.sav", "b.SAV"}));
    EXPECT_TRUE(ListFiles(JoinPath(dir.Path(), "nope")).empty());
    EXPECT_TRUE(RenameFile(JoinPath(dir.Path(), "c.txt"), JoinPath(dir.Path(), "e.txt")));
    EXPECT_TRUE(FileExists(JoinPath(dir.Path(), "e.txt")));
    EXPECT_TRUE(DeleteFile(JoinPath(dir.Path(), "e.txt")));
    EXPECT_FALSE(FileExists(JoinPath(dir.Path(), "e.txt")));
}

TEST(PictureFile, PngRoundTripKeepsStraightArgb) {
    TempFolder dir;
    const std::vector<uint32_t> px{0xFF112233, 0x80FF0000, 0x00000000,
                                   0xFFFFFFFF, 0x40102030, 0xFF00FF00};
    const std::string file = JoinPath(dir.Path(), "p.png");
    ASSERT_TRUE(SavePng(file, 3, 2, px));
    Picture pic;
    std::string error;
    ASSERT_TRUE(LoadPictureFile(file, pic, &error)) << error;
    EXPECT_EQ(pic.width, 3);
    EXPECT_EQ(pic.height, 2);
    EXPECT_EQ(pic.argb, px);
}

// A JPEG made here with libjpeg reads back at its size, opaque, with about its colour.
TEST(PictureFile, JpegPicturesDecodeOpaqueAtTheirSize) {
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = 40;
    info.image_height = 24;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(40 * 3);
    for (int x = 0; x < 40; ++x) {
        row[x * 3] = 200;
        row[x * 3 + 1] = 100;
        row[x * 3 + 2] = 30;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Picture pic;
    std::string error;
    ASSERT_TRUE(DecodePicture(buffer, length, pic, &error)) << error;
    std::free(buffer);
    EXPECT_EQ(pic.width, 40);
    EXPECT_EQ(pic.height, 24);
    const uint32_t c = pic.argb[24 * 40 / 2];
    EXPECT_EQ(c >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>((c >> 16) & 0xFF), 200, 6);
    EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 100, 6);
    EXPECT_NEAR(static_cast<int>(c & 0xFF), 30, 6);
}

TEST(PictureFile, DamagedOrMissingPicturesFailCleanly) {
    Picture pic;
    std::string error;
    EXPECT_FALSE(LoadPictureFile("/nonexistent/x.png", pic, &error));
    EXPECT_FALSE(error.empty());
    const uint8_t garbage[] = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(DecodePicture(garbage, sizeof garbage, pic, &error));
    EXPECT_FALSE(DecodePicture(nullptr, 0, pic, &error));
    // A BMP header claiming 100000 x 100000 pixels is refused before anything is allocated.
    uint8_t bmp[54] = {'B', 'M'};
    bmp[10] = 54;
    bmp[14] = 40;
    const uint32_t side = 100000;
    std::memcpy(bmp + 18, &side, 4);
    std::memcpy(bmp + 22, &side, 4);
    bmp[26] = 1;
    bmp[28] = 24;
    EXPECT_FALSE(DecodePicture(bmp, sizeof bmp, pic, &error));
    EXPECT_TRUE(pic.argb.empty());
    // Within the side limit but far beyond any screen picture (11000 x 8500): refused as too
    // large from the header alone, instead of being decoded for seconds.
    const uint32_t wide = 11000, tall = 8500;
    std::memcpy(bmp + 18, &wide, 4);
    std::memcpy(bmp + 22, &tall, 4);
    EXPECT_FALSE(DecodePicture(bmp, sizeof bmp, pic, &error));
    EXPECT_EQ(error, "picture too large");
    // A damaged JPEG whose Huffman codes the fast decoder asserted on is an error, not the
    // end of the program.
    const std::string b64 =
        "/9j/4AAQSg4PEBAQEBAQEAEAAAAQEBAQEBAQEP/AABEIABAAKQMBEQACEQEDEQH/xAAVAAEBAAAAAAAAAAAAAAAA"
        "AAAIB//EABcBAAMBAAAAAAAAAAAAAAAAAAQFBgf/xAAjEQABAwQBBAMAAAAAAAAAAAABAAIRAwQFIRIGE0FhUbHh"
        "/9oADAMBAAIBAxEAPwB6aR3WuIkr/9k=";
    std::vector<uint8_t> jpeg;
    int bits = 0, acc = 0;
    for (const char c : b64) {
        const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const char* at = std::strchr(table, c);
        if (c == '=' || !at) break;
        acc = (acc << 6) | static_cast<int>(at - table);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            jpeg.push_back(static_cast<uint8_t>((acc >> bits) & 0xFF));
        }
    }
    error.clear();
    EXPECT_FALSE(DecodePicture(jpeg.data(), jpeg.size(), pic, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(pic.argb.empty());
    // A picture file that cannot be written reports failure.
    EXPECT_FALSE(SavePng("/nonexistent/dir/p.png", 1, 1, {0xFFFFFFFF}));
    EXPECT_FALSE(SavePng("/tmp/never.png", 2, 2, {0xFFFFFFFF}));
}

TEST(PeriodicTimer, FiresOncePerIntervalAndOnceAfterAStall) {
    int fired = 0;
    PeriodicTimer timer(100, [&] { ++fired; });
    EXPECT_FALSE(timer.Poll(1000)); // not started
    timer.Start(0);
    EXPECT_FALSE(timer.Poll(99));
    EXPECT_TRUE(timer.Poll(100));
    EXPECT_FALSE(timer.Poll(150));
    EXPECT_TRUE(timer.Poll(205)); // keeps its rhythm: next due at 300
    EXPECT_FALSE(timer.Poll(299));
    EXPECT_TRUE(timer.Poll(300));
    EXPECT_EQ(fired, 3);
    // A five-second stall gives one tick, then the rhythm goes on from now.
    EXPECT_TRUE(timer.Poll(5300));
    EXPECT_FALSE(timer.Poll(5399));
    EXPECT_TRUE(timer.Poll(5400));
    EXPECT_EQ(fired, 5);
    timer.Stop();
    EXPECT_FALSE(timer.Poll(9999));
}

} // namespace
} // namespace bw
