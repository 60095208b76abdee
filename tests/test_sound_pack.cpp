// The sound list and the sound files read as bytes: the list's layout and
// its damaged forms, and the sample bytes a WAV file hands to OpenAL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "sound/sound_pack.h"

namespace {

struct ListCase {
  const char* name;
  const char* text;
  int complete;
  std::vector<std::pair<int, std::string>> entries;
};

class SoundListText : public ::testing::TestWithParam<ListCase> {};

TEST_P(SoundListText, GivesTheEntriesInOrder) {
  const ListCase& c = GetParam();
  const SoundList list = ParseSoundList(c.text);
  EXPECT_EQ(list.complete, c.complete);
  ASSERT_EQ(list.entries.size(), c.entries.size());
  for (std::size_t i = 0; i < c.entries.size(); ++i) {
    EXPECT_EQ(list.entries[i].number, c.entries[i].first) << i;
    EXPECT_EQ(list.entries[i].path, c.entries[i].second) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SoundListText,
    ::testing::Values(
        ListCase{"Plain",
                 "sounds\n2 entries\n4 thud\n res/a.wav\t\nlanding\n7\nres/b c.wav\npop\n",
                 1,
                 {{4, "res/a.wav"}, {7, "res/b c.wav"}}},
        ListCase{"CrLf", "t\r\n1\r\n5\r\n res/a.wav \r\nd\r\n", 1, {{5, "res/a.wav"}}},
        ListCase{"LastLineWithoutLineFeed", "t\n1\n5\nres/a.wav", 1, {{5, "res/a.wav"}}},
        ListCase{"NoDescriptionAtTheEnd", "t\n1\n5\nres/a.wav\n", 1, {{5, "res/a.wav"}}},
        ListCase{"NumbersClampTo0And300",
                 "t\n3\n-7\na\nd\n301\nb\nd\n99999\nc\nd\n",
                 1,
                 {{0, "a"}, {300, "b"}, {300, "c"}}},
        // The loader, not the list, refuses a number used twice.
        ListCase{"DuplicatesAreKept", "t\n2\n4\na\nd\n4\nb\nd\n", 1, {{4, "a"}, {4, "b"}}},
        ListCase{"EmptyPathLine", "t\n1\n4\n\nd\n", 1, {{4, ""}}},
        ListCase{"ShortListStopsAtTheFirstMissingPath", "t\n3\n4\na\nd\n5\n", 0, {{4, "a"}}},
        ListCase{"NumberLineMissing", "t\n2\n4\na\nd\n", 0, {{4, "a"}}},
        ListCase{"NotANumber", "t\n2\n4\na\nd\nfive\nb\nd\n", 0, {{4, "a"}}},
        ListCase{"CountUnreadable", "t\nmany\n4\na\nd\n", 0, {}}, ListCase{"Empty", "", 0, {}},
        ListCase{"NegativeCountIsEmpty", "t\n-3\n4\na\nd\n", 1, {}},
        ListCase{"ZeroCount", "t\n0\n", 1, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SoundListText, CountIsCutTo301Entries) {
  std::string text = "t\n100000\n";
  for (int i = 0; i < 400; ++i) text += std::to_string(i) + "\nres/" + std::to_string(i) + "\nd\n";
  const SoundList list = ParseSoundList(text);
  EXPECT_EQ(list.complete, 1);
  ASSERT_EQ(list.entries.size(), 301u);
  EXPECT_EQ(list.entries.back().number, 300);
  EXPECT_EQ(list.entries.back().path, "res/300");
}

TEST(SoundListText, BinaryJunkNeverReadsPastTheText) {
  // Bytes of every value, NULs included, in a list shape that stops early.
  std::string text("t\n5\n1\n", 6);
  for (int i = 0; i < 256; ++i) text += static_cast<char>(i);
  const SoundList list = ParseSoundList(text);
  EXPECT_EQ(list.complete, 0);
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(list.entries[0].number, 1);
}

// ------------------------------------------------------------ WAV bytes

TEST(WavSampleBytes, AreTheBytesAfterThe44ByteHeaderInWholeSamples) {
  struct Case {
    std::size_t size, offset, bytes;
  };
  const Case cases[] = {{0, 0, 0},  {10, 0, 0},  {43, 0, 0},  {44, 0, 0},
                        {45, 0, 0}, {46, 44, 2}, {47, 44, 2}, {1044, 44, 1000}};
  for (const Case& c : cases) {
    std::vector<uint8_t> file(c.size);
    const std::span<const uint8_t> s = WavSampleBytes(file);
    EXPECT_EQ(s.size(), c.bytes) << c.size;
    if (c.bytes > 0) {
      EXPECT_EQ(s.data(), file.data() + c.offset) << c.size;
    }
  }
}

class SoundFile : public ::testing::Test {
 protected:
  std::string dir;
  void SetUp() override {
    char tmpl[] = "/tmp/dromo-sound-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(SoundFile, IsReadWholeWhenItIsAPlainFile) {
  const std::string path = dir + "/a.wav";
  std::ofstream(path, std::ios::binary) << std::string(100, 'x');
  std::vector<uint8_t> bytes;
  ASSERT_EQ(ReadSoundFile(path.c_str(), bytes), 1);
  EXPECT_EQ(bytes.size(), 100u);
}

TEST_F(SoundFile, MissingFolderOrDeviceIsNoSound) {
  std::vector<uint8_t> bytes{1, 2, 3};
  EXPECT_EQ(ReadSoundFile((dir + "/none.wav").c_str(), bytes), 0);
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(ReadSoundFile(dir.c_str(), bytes), 0);
  EXPECT_EQ(ReadSoundFile("", bytes), 0);
  EXPECT_EQ(ReadSoundFile(nullptr, bytes), 0);
  // An endless device would otherwise be read until memory runs out.
  EXPECT_EQ(ReadSoundFile("/dev/zero", bytes), 0);
}

TEST_F(SoundFile, AFileBeyondTheLimitIsNotRead) {
  const std::string path = dir + "/big.wav";
  { std::ofstream create(path); }
  std::filesystem::resize_file(path, kMaxSoundFileBytes + 1);
  std::vector<uint8_t> bytes;
  EXPECT_EQ(ReadSoundFile(path.c_str(), bytes), 0);
  EXPECT_TRUE(bytes.empty());
}

// ------------------------------------------------------------ the game's pack

TEST(GameSoundPack, HoldsEverySoundTheGamePlaysInTheFormItIsPlayed) {
  const std::string build = std::getenv("DROMO_BUILD_DIR");
  std::string text;
  {
    std::ifstream in(build + "/res/base/zvu_start.txt", std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  const SoundList list = ParseSoundList(text);
  ASSERT_EQ(list.complete, 1);
  std::vector<int> numbers;
  std::set<std::string> contents;  // distinct files
  for (const SoundListEntry& e : list.entries) {
    numbers.push_back(e.number);
    std::vector<uint8_t> f;
    ASSERT_EQ(ReadSoundFile((build + "/" + e.path).c_str(), f), 1) << e.path;
    ASSERT_GT(f.size(), kWavHeaderBytes) << e.path;
    auto u16 = [&f](std::size_t at) { return f[at] | (f[at + 1] << 8); };
    auto u32 = [&](std::size_t at) { return u16(at) | (u16(at + 2) << 16); };
    // Canonical header: PCM, mono, 22050 Hz, 16 bits, the data right after.
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "RIFF") << e.path;
    EXPECT_EQ(u16(20), 1) << e.path;
    EXPECT_EQ(u16(22), 1) << e.path;
    EXPECT_EQ(u32(24), 22050) << e.path;
    EXPECT_EQ(u16(34), 16) << e.path;
    EXPECT_EQ(std::string(f.begin() + 36, f.begin() + 40), "data") << e.path;
    EXPECT_EQ(static_cast<std::size_t>(u32(40)), f.size() - kWavHeaderBytes) << e.path;
    const std::span<const uint8_t> bytes = WavSampleBytes(f);
    std::vector<int> v;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      v.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    int peak = 0;
    for (int x : v) peak = std::max(peak, std::abs(x));
    const double dbfs = 20 * std::log10(peak / 32768.0);
    EXPECT_NEAR(dbfs, -3.0, 0.5) << e.path;
    EXPECT_LE(v.size(), 2u * 22050) << e.path << ": longer than 2 s";
    // Starts and ends in silence: no click when it starts, stops or loops.
    EXPECT_LT(std::abs(v.front()), 100) << e.path;
    EXPECT_LT(std::abs(v.back()), 100) << e.path;
    contents.insert(std::string(f.begin(), f.end()));
  }
  for (int n : {1, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13}) {
    EXPECT_NE(std::find(numbers.begin(), numbers.end(), n), numbers.end()) << "sound " << n;
  }
  EXPECT_GE(contents.size(), 8u);
}

}  // namespace
