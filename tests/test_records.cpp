// The records tables: ranking, preview, display lines, and the 1280-byte
// files with their keys, salts, name pairs and checksum.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "game/game_state.h"
#include "platform/platform.h"
#include "records/records.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

LocalDate FakeDate() {
  return LocalDate{7, 3, 2026};
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

uint32_t U32At(const Bytes& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
         (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

int32_t I16At(const Bytes& b, size_t at) {
  return static_cast<int16_t>(static_cast<uint16_t>(b[at] | (b[at + 1] << 8)));
}

void PutU32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutU16(Bytes& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// The format's own constants, written out independently of the code under test.
uint32_t KeyOf(int p) {
  return 137500u - 4625u * static_cast<uint32_t>(19 - p);
}
size_t BlockOf(int p) {
  return 8 + static_cast<size_t>(19 - p) * 63;
}

std::string Name12(const std::string& name) {
  std::string n = name.substr(0, 12);
  n.resize(12, ' ');
  return n;
}

void SetName(RecordEntry& e, const std::string& name) {
  const std::string n = Name12(name);
  std::memcpy(e.name, n.data(), 12);
  e.name[12] = '\0';
}

std::string Show(const RecordEntry& e) {
  std::ostringstream s;
  s << "[" << std::string(e.name, 12) << "] " << e.score << " " << e.timeMs << " " << e.cubes << " "
    << e.chainBonus << " " << e.removalPoints << " " << e.day << "." << e.month << "." << e.year
    << " c";
  for (int v : e.chainCounts) s << " " << v;
  s << " s";
  for (int v : e.sizeCounts) s << " " << v;
  s << (e.name[12] == '\0' ? "" : " (name not terminated)");
  return s.str();
}

// What a table reads back as: control bytes and blanks in names become spaces.
RecordTable AsLoaded(RecordTable t) {
  for (RecordEntry& e : t) {
    for (int i = 0; i < 12; ++i) {
      if (static_cast<uint8_t>(e.name[i]) <= 0x20) e.name[i] = ' ';
    }
  }
  return t;
}

// Tables are compared through their printed form, which names the field that differs.
void ExpectTablesEqual(const RecordTable& got, const RecordTable& want) {
  for (int p = 0; p < 20; ++p) EXPECT_EQ(Show(got[p]), Show(want[p])) << "position " << p;
}

RecordTable DefaultTable(LocalDate d) {
  RecordTable t{};
  for (int p = 0; p < 20; ++p) {
    RecordEntry& e = t[p];
    SetName(e, "---");
    e.score = 940 - 10 * p;
    e.timeMs = 1680000;
    e.day = d.day;
    e.month = d.month;
    e.year = d.year;
  }
  return t;
}

// A table in which every field of every position differs.
RecordTable DistinctTable() {
  RecordTable t{};
  const std::string names[4] = {std::string("A\x01 \x1f!z~\x7f", 8) + "\x80\xff",
                                "Жорб"_w + std::string("\xc0\xa8\xb8"), "abcdefghijkl",
                                std::string("\x20\x21\x22\x23\x7f", 5)};
  for (int p = 0; p < 20; ++p) {
    RecordEntry& e = t[p];
    SetName(e, names[p % 4]);
    e.score = 50000 - 1700 * p;
    e.timeMs = 1000 + 1111 * p;
    e.cubes = 100 + p;
    e.chainBonus = 2000 + 3 * p;
    e.removalPoints = 3000 + 5 * p;
    e.day = 1 + p;
    e.month = 1 + p % 12;
    e.year = 2000 + p;
    for (int i = 0; i < 8; ++i) {
      e.chainCounts[i] = p * 8 + i + 1;
      e.sizeCounts[i] = p * 3 + i + 2;
    }
  }
  return t;
}

// Each test runs in a fresh temporary directory with a fixed date and seed.
class RecordsFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    oldDir_ = fs::current_path();
    char tmpl[] = "/tmp/dromo-records-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    fs::current_path(dir_);
    SetDateSource(FakeDate);
    std::srand(12345);
    gGame.variant = 1;
    gGame.ruleCode = 20;
    gRecordsLoaded = 0;
    gRecordsCleared = 0;
    gPreviewRank = 0;
  }
  void TearDown() override {
    SetDateSource(nullptr);
    fs::current_path(oldDir_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  // Names of everything in the directory, to spot stray temporary files.
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // What a file on disk decodes to.
  RecordsStatus Decode(const std::string& path, RecordTable& table) {
    const Bytes b = ReadBytes(path);
    return DecodeRecords(b.data(), static_cast<uint32_t>(b.size()), table);
  }

  fs::path oldDir_;
  fs::path dir_;
};

// ------------------------------------------------------------ start state

// Runs first in this program, before anything has touched the tables.
TEST(RecordsStart, TablesStartBlankDated2008) {
  for (const RecordTable* t : {&gRecordTable, &gPreviewTable}) {
    for (const RecordEntry& e : *t) {
      EXPECT_EQ(std::string(e.name), "            ");
      EXPECT_EQ(e.score, 0);
      EXPECT_EQ(e.timeMs, 0);
      EXPECT_EQ(e.day, 16);
      EXPECT_EQ(e.month, 1);
      EXPECT_EQ(e.year, 2008);
    }
  }
  for (const RecordLine& line : gRecordLines) EXPECT_TRUE(line.text.empty());
  EXPECT_EQ(gPreviewRank, 0);
}

// ------------------------------------------------------------- file names

TEST(RecordsFileNames, OnePerShape) {
  const char* expected[] = {"dromov2-0201", "dromov2-0402", "dromov2-0603",
                            "dromov2-0804", "dromov2-1005", "dromov2-1206"};
  const GameState saved = gGame;
  gGame.ruleCode = 20;
  for (int shape = 1; shape <= 6; ++shape) {
    gGame.variant = shape;
    EXPECT_EQ(RecordsFileName(), expected[shape - 1]);
    EXPECT_EQ(RecordsFileNameFor(shape), expected[shape - 1]);
  }
  gGame = saved;
}

TEST(RecordsFileNames, KeyIsPaddedToFourDigits) {
  struct Case {
    int ruleCode, shape;
    const char* name;
  } cases[] = {
      {0, 3, "dromov2-0003"},  {0, 9, "dromov2-0009"},    {1, 1, "dromov2-0011"},
      {4, 2, "dromov2-0082"},  {9, 10, "dromov2-0910"},   {20, 4, "dromov2-0804"},
      {49, 3, "dromov2-1473"}, {99, 11, "dromov2-10901"},
  };
  const GameState saved = gGame;
  for (const Case& c : cases) {
    gGame.ruleCode = c.ruleCode;
    gGame.variant = c.shape;
    EXPECT_EQ(RecordsFileName(), c.name) << c.ruleCode << " " << c.shape;
  }
  gGame = saved;
}

// ----------------------------------------------------------------- layout

TEST_F(RecordsFiles, SavedBytesFollowTheLayout) {
  const RecordTable table = DistinctTable();
  for (unsigned seed : {1u, 2u, 77u}) {
    SCOPED_TRACE(seed);
    std::srand(seed);
    gRecordTable = table;
    SaveRecords("layout");
    const Bytes b = ReadBytes("layout");
    ASSERT_EQ(b.size(), 1280u);
    EXPECT_EQ(U32At(b, 0), 1u);
    EXPECT_EQ(U32At(b, 4), 977676u);
    uint32_t sum = 0;
    for (int p = 0; p < 20; ++p) {
      SCOPED_TRACE(p);
      const RecordEntry& e = table[p];
      const size_t at = BlockOf(p);
      for (int i = 0; i < 12; ++i) {
        const int c = static_cast<uint8_t>(e.name[i]);
        const int a = b[at + 2 * i], second = b[at + 2 * i + 1];
        if (c <= 0x20) {
          EXPECT_GE(a, 4);
          EXPECT_LE(a, 14);
          EXPECT_GE(second, 4);
          EXPECT_LE(second, 80);
        } else {
          EXPECT_GE(a, c / 4 + 8) << "byte " << c;
          EXPECT_LE(a, c / 2 + 8) << "byte " << c;
          EXPECT_EQ((a + second) & 0xFF, c);
        }
      }
      EXPECT_EQ(U32At(b, at + 24), static_cast<uint32_t>(e.score) + KeyOf(p));
      EXPECT_EQ(U32At(b, at + 28), static_cast<uint32_t>(e.timeMs));
      const int s = b[at + 32];
      EXPECT_GE(s, 31 - p);
      EXPECT_LE(s, 234);
      EXPECT_EQ(I16At(b, at + 33), e.cubes + s);
      EXPECT_EQ(I16At(b, at + 35), e.chainBonus + s);
      EXPECT_EQ(I16At(b, at + 37), e.removalPoints + s + 3);
      EXPECT_EQ(b[at + 39], e.month);
      EXPECT_EQ(I16At(b, at + 40), e.year);
      EXPECT_EQ(b[at + 42], e.day);
      for (size_t base : {at + 43, at + 53}) {
        const auto& counts = base == at + 43 ? e.chainCounts : e.sizeCounts;
        EXPECT_EQ(I16At(b, base), counts[0]);
        EXPECT_EQ(I16At(b, base + 2), counts[1]);
        for (int i = 2; i < 8; ++i) EXPECT_EQ(b[base + 4 + (i - 2)], counts[i]);
      }
      sum += static_cast<uint32_t>(e.score);
    }
    EXPECT_EQ(U32At(b, 1268), sum);
    for (size_t filler : {1272u, 1276u}) {
      EXPECT_GE(U32At(b, filler), 1u);
      EXPECT_LE(U32At(b, filler), 6u);
    }
  }
  EXPECT_EQ(Listing(), std::vector<std::string>{"layout"});  // no temporary file left
}

// Bytes put together by hand, so the reader is checked apart from the writer.
TEST_F(RecordsFiles, HandMadeBytesDecode) {
  Bytes b(1280, 0);
  PutU32(b, 0, 999);  // header values are not checked
  PutU32(b, 4, 0);
  for (int p = 0; p < 20; ++p) {
    const size_t at = BlockOf(p);
    for (int i = 0; i < 12; ++i) b[at + 2 * i] = b[at + 2 * i + 1] = 4;
    b[at + 0] = 14, b[at + 1] = 200;     // first byte 14: a space, whatever the second
    b[at + 2] = 15, b[at + 3] = 50;      // first byte 15: the sum, 'A'
    b[at + 4] = 200, b[at + 5] = 100;    // the sum wraps: ','
    b[at + 6] = 0xE0, b[at + 7] = 0xE6;  // 0x1C6 -> 0xC6, Cyrillic
    PutU32(b, at + 24, 1234u + static_cast<uint32_t>(p) + KeyOf(p));
    PutU32(b, at + 28, 0xFFFFFFFFu);
    b[at + 32] = 40;
    PutU16(b, at + 33, 0xFFFF);  // -1 - 40
    PutU16(b, at + 35, 35);      // -5 + 40
    PutU16(b, at + 37, 0x7FFF);  // 32767 - 43
    b[at + 39] = 200;            // bytes are zero-extended
    PutU16(b, at + 40, 0xFFFE);  // -2
    b[at + 42] = 31;
    PutU16(b, at + 43, 0x8000);  // -32768
    PutU16(b, at + 45, 7);
    for (int i = 0; i < 6; ++i) b[at + 47 + i] = static_cast<uint8_t>(250 + i);
    PutU16(b, at + 53, 1);
    PutU16(b, at + 55, 0xFFFF);
    b[at + 57] = 0xFF;
  }
  uint32_t sum = 0;
  for (int p = 0; p < 20; ++p) sum += 1234u + static_cast<uint32_t>(p);
  PutU32(b, 1268, sum);

  RecordTable t;
  ASSERT_EQ(DecodeRecords(b.data(), 1280, t), kRecordsOk);
  for (int p = 0; p < 20; ++p) {
    SCOPED_TRACE(p);
    const RecordEntry& e = t[p];
    EXPECT_EQ(std::string(e.name, 13), std::string(" A,\xC6        \0", 13));
    EXPECT_EQ(e.score, 1234 + p);
    EXPECT_EQ(e.timeMs, -1);
    EXPECT_EQ(e.cubes, -41);
    EXPECT_EQ(e.chainBonus, -5);
    EXPECT_EQ(e.removalPoints, 32767 - 43);
    EXPECT_EQ(e.month, 200);
    EXPECT_EQ(e.year, -2);
    EXPECT_EQ(e.day, 31);
    EXPECT_EQ(e.chainCounts, (std::array<int32_t, 8>{-32768, 7, 250, 251, 252, 253, 254, 255}));
    EXPECT_EQ(e.sizeCounts, (std::array<int32_t, 8>{1, -1, 255, 0, 0, 0, 0, 0}));
  }

  // The fillers are outside the checksum: without them the file still adds up.
  EXPECT_EQ(DecodeRecords(b.data(), 1272, t), kRecordsShort);
  EXPECT_EQ(t[0].score, 1234);
  // Any score byte off breaks it, and so does a missing checksum.
  EXPECT_EQ(DecodeRecords(b.data(), 1268, t), kRecordsChecksum);
  b[BlockOf(7) + 25] ^= 1;
  EXPECT_EQ(DecodeRecords(b.data(), 1280, t), kRecordsChecksum);
  EXPECT_EQ(DecodeRecords(nullptr, 0, t), kRecordsChecksum);
}

TEST_F(RecordsFiles, SaveAndLoadKeepTheTable) {
  RecordTable table = DistinctTable();
  // Values near the edges that still fit their stored widths.
  table[3].cubes = -32768;
  table[4].chainBonus = 32767 - 234;
  table[5].removalPoints = 32767 - 237;
  table[6].score = -5;
  table[6].timeMs = -1;
  table[7].chainCounts = {-32768, 32767, 0, 255, 1, 2, 3, 4};
  gRecordTable = table;
  SaveRecords("t");
  gRecordTable = DefaultTable(LocalDate{1, 1, 1999});
  LoadRecords("t");
  EXPECT_EQ(gRecordsLoaded, 1);
  // Control bytes come back as spaces; everything else as it was.
  ExpectTablesEqual(gRecordTable, AsLoaded(table));
  // The display lines were built from what was loaded.
  EXPECT_EQ(gRecordLines[1].text.substr(0, 3), " 2 ");
  EXPECT_NE(gRecordLines[1].text.find("  48300 "), std::string::npos) << gRecordLines[1].text;
}

// A table that cannot be saved leaves what was there and leaves no litter,
// and says so on standard error, naming the file and the reason; the next
// save tries again.
TEST_F(RecordsFiles, AFailedSaveSaysWhyAndTheNextOneTriesAgain) {
  fs::create_directory("blocked");  // a folder where the file should be
  gRecordTable = DistinctTable();
  ::testing::internal::CaptureStderr();
  SaveRecords("blocked");
  const std::string said = ::testing::internal::GetCapturedStderr();
  const std::string lead = "not saved to blocked: ";
  const size_t at = said.find(lead);
  ASSERT_NE(at, std::string::npos) << said;
  EXPECT_GT(said.size(), at + lead.size() + 1) << "the system's reason follows: " << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_TRUE(fs::is_directory("blocked"));
  EXPECT_FALSE(fs::exists("blocked.tmp"));

  fs::remove("blocked");
  ::testing::internal::CaptureStderr();
  SaveRecords("blocked");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  gRecordTable = DefaultTable(LocalDate{1, 1, 1999});
  LoadRecords("blocked");
  ExpectTablesEqual(gRecordTable, AsLoaded(DistinctTable()));
}

TEST_F(RecordsFiles, NamesThroughAFile) {
  struct Case {
    std::string given, loaded;
  } cases[] = {
      {"Жорб"_w, "Жорб"_w + std::string(8, ' ')},
      {"АБВГДЕЖЗИЙКЛ"_w, "АБВГДЕЖЗИЙКЛ"_w},
      {"Ёё юя"_w, "Ёё юя"_w + std::string(7, ' ')},
      {std::string("\tA\x01"
                   "B\x1f",
                   5),
       " A B" + std::string(8, ' ')},
      {std::string("x\0y", 3), "x y" + std::string(9, ' ')},
      {"!~\x7f\x80\xff", "!~\x7f\x80\xff" + std::string(7, ' ')},
      {"a very long name indeed", "a very long "},
      {"", std::string(12, ' ')},
  };
  gRecordTable = DefaultTable(FakeDate());
  RecordValues v;
  v.score = 10000;
  for (const Case& c : cases) {
    ASSERT_EQ(PlaceRecord(gRecordTable, c.given, v), 1);
  }
  SaveRecords("names");
  LoadRecords("names");
  const int n = static_cast<int>(std::size(cases));
  for (int i = 0; i < n; ++i) {
    // The latest placement of an equal score is on top.
    EXPECT_EQ(std::string(gRecordTable[n - 1 - i].name, 13), cases[i].loaded + '\0') << i;
  }
}

// Small fields keep only what their stored width holds.
TEST_F(RecordsFiles, CountsAndSaltedFieldsAreTruncated) {
  struct Case {
    int32_t RecordEntry::*field;
    int32_t given, loaded;
  } salted[] = {
      // The salt is at least 12, so 32767 + salt no longer fits 16 bits.
      {&RecordEntry::cubes, 32767, 32767 - 65536},
      {&RecordEntry::cubes, -32768, -32768},
      {&RecordEntry::cubes, 32767 - 234, 32767 - 234},
      {&RecordEntry::chainBonus, 40000, 40000 - 65536},
      {&RecordEntry::chainBonus, -1, -1},
      {&RecordEntry::removalPoints, 32764, 32764 - 65536},
      {&RecordEntry::removalPoints, 32767 - 237, 32767 - 237},
  };
  for (int p : {0, 19}) {
    for (const Case& c : salted) {
      gRecordTable = DefaultTable(FakeDate());
      gRecordTable[p].*c.field = c.given;
      SaveRecords("t");
      LoadRecords("t");
      EXPECT_EQ(gRecordTable[p].*c.field, c.loaded) << "position " << p << " value " << c.given;
    }
  }

  gRecordTable = DefaultTable(FakeDate());
  gRecordTable[0].chainCounts = {70000, 40000, 300, -1, 256, 255, 1000, -200};
  gRecordTable[0].sizeCounts = {-70000, -32768, 0, 128, 511, 7, 8, 9};
  gRecordTable[0].year = 70000;
  gRecordTable[0].day = 257;
  gRecordTable[0].month = -1;
  SaveRecords("t");
  LoadRecords("t");
  EXPECT_EQ(gRecordTable[0].chainCounts,
            (std::array<int32_t, 8>{4464, -25536, 44, 255, 0, 255, 232, 56}));
  EXPECT_EQ(gRecordTable[0].sizeCounts,
            (std::array<int32_t, 8>{-4464, -32768, 0, 128, 255, 7, 8, 9}));
  EXPECT_EQ(gRecordTable[0].year, 4464);
  EXPECT_EQ(gRecordTable[0].day, 1);
  EXPECT_EQ(gRecordTable[0].month, 255);
}

// ------------------------------------------------------- damage and reset

TEST_F(RecordsFiles, ResetContents) {
  ResetRecords("r");
  const RecordTable want = DefaultTable(FakeDate());
  ExpectTablesEqual(gRecordTable, want);
  EXPECT_EQ(gRecordsLoaded, 1);
  RecordTable onDisk;
  ASSERT_EQ(Decode("r", onDisk), kRecordsOk);
  ExpectTablesEqual(onDisk, want);
  EXPECT_EQ(gRecordLines[0].text, " 1 ---           07.03.026    940 (00 000 00) 28:00s");
  EXPECT_EQ(gRecordLines[19].text, "20 ---           07.03.026    750 (00 000 00) 28:00s");
}

TEST_F(RecordsFiles, ChecksumDamageResetsAndRewrites) {
  gRecordTable = DistinctTable();
  SaveRecords("d");
  Bytes b = ReadBytes("d");
  b[BlockOf(0) + 24] ^= 0x10;  // the top score
  WriteBytes("d", b);
  LoadRecords("d");
  const RecordTable want = DefaultTable(FakeDate());
  ExpectTablesEqual(gRecordTable, want);
  EXPECT_EQ(gRecordsLoaded, 1);
  RecordTable onDisk;
  ASSERT_EQ(Decode("d", onDisk), kRecordsOk);
  ExpectTablesEqual(onDisk, want);
}

TEST_F(RecordsFiles, UnusableFilesAreReplacedByTheDefaultTable) {
  Bytes noise(5000);
  for (auto& x : noise) x = static_cast<uint8_t>(std::rand());
  struct Case {
    const char* what;
    bool create;
    Bytes bytes;
  } cases[] = {
      {"missing", false, {}},
      {"empty", true, {}},
      {"ten bytes", true, Bytes(10, 0x41)},
      {"1279 zero bytes", true, Bytes(1279, 0)},
      {"1280 zero bytes", true, Bytes(1280, 0)},
      {"1280 random bytes", true, Bytes(noise.begin(), noise.begin() + 1280)},
      {"5000 random bytes", true, noise},
  };
  const RecordTable want = DefaultTable(FakeDate());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove("f");
    if (c.create) WriteBytes("f", c.bytes);
    gRecordTable = DistinctTable();
    gRecordsLoaded = 0;
    LoadRecords("f");
    ExpectTablesEqual(gRecordTable, want);
    EXPECT_EQ(gRecordsLoaded, 1);
    RecordTable onDisk;
    EXPECT_EQ(ReadBytes("f").size(), 1280u);
    ASSERT_EQ(Decode("f", onDisk), kRecordsOk);
    ExpectTablesEqual(onDisk, want);
    EXPECT_EQ(gRecordLines[0].text, " 1 ---           07.03.026    940 (00 000 00) 28:00s");
  }
}

// Only the checksum decides: a file that adds up is taken whatever its length.
TEST_F(RecordsFiles, FilesThatAddUpAreTakenAtAnyLength) {
  gRecordTable = DistinctTable();
  SaveRecords("full");
  const Bytes full = ReadBytes("full");
  struct Case {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"without the fillers", Bytes(full.begin(), full.begin() + 1272)},
      {"with bytes after the end",
       [&] {
         Bytes b = full;
         b.insert(b.end(), 100, 0xAB);
         return b;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes("f", c.bytes);
    gRecordTable = DefaultTable(FakeDate());
    LoadRecords("f");
    ExpectTablesEqual(gRecordTable, AsLoaded(DistinctTable()));
    EXPECT_EQ(ReadBytes("f"), c.bytes);  // not rewritten
  }
}

// The game's load never waits on what is not a file, and reads no more of a
// huge file than the table's 1280 bytes.
TEST_F(RecordsFiles, FifosDirectoriesAndHugeFilesDoNotHoldTheGameUp) {
#ifndef _WIN32
  ASSERT_EQ(mkfifo("fifo", 0600), 0);
  LoadRecords("fifo");  // blocks forever if the FIFO is opened for a normal read
  ExpectTablesEqual(gRecordTable, DefaultTable(FakeDate()));
  // The default table replaced the FIFO, as it replaces any unreadable file.
  EXPECT_TRUE(fs::is_regular_file("fifo"));
  EXPECT_EQ(ReadBytes("fifo").size(), 1280u);
#endif

  gRecordTable = DistinctTable();
  SaveRecords("huge");
  fs::resize_file("huge", 2ull << 30);  // a hole after the table
  gRecordTable = DefaultTable(FakeDate());
  LoadRecords("huge");
  ExpectTablesEqual(gRecordTable, AsLoaded(DistinctTable()));
  EXPECT_EQ(fs::file_size("huge"), 2ull << 30) << "a table that adds up is not rewritten";
  fs::remove("huge");
}

// A save killed half-way leaves its temporary file; the next save of that
// table takes the same name, so there is never more than one.
TEST_F(RecordsFiles, AnAbandonedTemporaryFileIsReusedByTheNextSave) {
  const std::string tmp = ReplacingTempName("dromov2-0201");
  WriteBytes(tmp, Bytes(700, 0x55));  // what a killed save leaves
  gRecordTable = DistinctTable();
  SaveRecords("dromov2-0201");
  EXPECT_EQ(Listing(), std::vector<std::string>{"dromov2-0201"});
  RecordTable onDisk;
  ASSERT_EQ(Decode("dromov2-0201", onDisk), kRecordsOk);
  ExpectTablesEqual(onDisk, AsLoaded(DistinctTable()));

#ifndef _WIN32
  // A link planted under the temporary name is not written through.
  WriteBytes("victim", Bytes(3, 7));
  fs::create_symlink("victim", tmp);
  gRecordTable = DefaultTable(FakeDate());
  SaveRecords("dromov2-0201");
  EXPECT_EQ(ReadBytes("victim"), Bytes(3, 7));
  ASSERT_EQ(Decode("dromov2-0201", onDisk), kRecordsOk);
  ExpectTablesEqual(onDisk, DefaultTable(FakeDate()));
  EXPECT_EQ(Listing(), (std::vector<std::string>{"dromov2-0201", "victim"}));
#endif
}

TEST_F(RecordsFiles, AFileThatCannotBeWrittenIsSilentlySkipped) {
  LoadRecords("no-such-dir/dromov2-0201");
  ExpectTablesEqual(gRecordTable, DefaultTable(FakeDate()));
  EXPECT_EQ(gRecordsLoaded, 1);
  EXPECT_TRUE(Listing().empty());

  // A save that cannot replace its target leaves it and no temporary file.
  fs::create_directory("adir");
  WriteBytes("adir/keep", Bytes(3, 1));
  SaveRecords("adir");
  EXPECT_TRUE(fs::is_directory("adir"));
  EXPECT_EQ(ReadBytes("adir/keep"), Bytes(3, 1));
  EXPECT_EQ(Listing(), std::vector<std::string>{"adir"});
}

// ---------------------------------------------------------------- ranking

TEST_F(RecordsFiles, PlaceRanksByScoreAndTies) {
  struct Case {
    int32_t score;
    int rank;
  } cases[] = {
      {0, 0},   {-10, 0}, {749, 0}, {750, 20},  {751, 20}, {935, 2},
      {930, 2}, {940, 1}, {941, 1}, {99999, 1}, {800, 15},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.score);
    RecordTable t = DefaultTable(FakeDate());
    const RecordTable before = t;
    RecordValues v;
    v.score = c.score;
    ASSERT_EQ(PlaceRecord(t, "Вася"_w, v), c.rank);
    if (c.rank == 0) {
      ExpectTablesEqual(t, before);
      continue;
    }
    const int k = c.rank - 1;
    for (int i = 0; i < k; ++i) EXPECT_EQ(Show(t[i]), Show(before[i]));
    for (int i = k + 1; i < 20; ++i) EXPECT_EQ(Show(t[i]), Show(before[i - 1]));
    EXPECT_EQ(t[k].score, c.score);
    EXPECT_EQ(t[k].timeMs, 1000);
  }
}

TEST_F(RecordsFiles, EqualScoreGoesAboveUnlessTheStoredTimeIsShorter) {
  RecordTable t = DefaultTable(FakeDate());
  RecordValues v;
  v.score = 900;
  EXPECT_EQ(PlaceRecord(t, "first", v), 5);
  EXPECT_EQ(PlaceRecord(t, "second", v), 5);  // above the first
  EXPECT_EQ(std::string(t[4].name), "second      ");
  EXPECT_EQ(std::string(t[5].name), "first       ");
  // Only a file can hold a time under one second; such an entry keeps its place.
  t[0].timeMs = 999;
  v.score = 940;
  EXPECT_EQ(PlaceRecord(t, "x", v), 2);
}

TEST_F(RecordsFiles, PlaceWritesTheNewEntry) {
  RecordTable t = DefaultTable(LocalDate{1, 1, 2001});
  RecordValues v;
  v.score = 5000;
  v.cubes = 321;
  v.chainBonus = 1200;
  v.removalPoints = 3400;
  v.chainCounts = {1, 2, 3, 4, 5, 6, 7, 8};
  v.sizeCounts = {9, 10, 11, 12, 13, 14, 15, 16};
  ASSERT_EQ(PlaceRecord(t, "ИгрокСДлиннымИменем"_w, v), 1);
  RecordEntry want{};
  SetName(want, "ИгрокСДлинны"_w);
  want.score = 5000;
  want.timeMs = 1000;
  want.cubes = 321;
  want.chainBonus = 1200;
  want.removalPoints = 3400;
  want.day = 7;
  want.month = 3;
  want.year = 2026;
  want.chainCounts = v.chainCounts;
  want.sizeCounts = v.sizeCounts;
  EXPECT_EQ(Show(t[0]), Show(want));
  EXPECT_EQ(t[19].score, 760);  // 750 dropped out
}

TEST_F(RecordsFiles, PreviewPlacesTheRunningGameInACopy) {
  ResetRecords("p");
  const RecordTable table = gRecordTable;
  RecordValues v;
  v.score = 935;
  PreviewRecord(v);
  PreviewRecord(v);  // each preview starts again from the table
  EXPECT_EQ(gPreviewRank, 2);
  ExpectTablesEqual(gRecordTable, table);
  EXPECT_EQ(std::string(gPreviewTable[1].name), "> игрок"_w + std::string(5, ' '));
  EXPECT_EQ(gPreviewTable[2].score, 930);
  EXPECT_EQ(gPreviewTable[3].score, 920);
  const std::string previewLine =
      " 2 " + std::string("> игрок"_w) + "       07.03.026    935 (00 000 00)  0:01s";
  EXPECT_EQ(gRecordLines[1].text, previewLine);

  // Out of the table: rank 0, the lines keep the last preview.
  v.score = 100;
  PreviewRecord(v);
  EXPECT_EQ(gPreviewRank, 0);
  EXPECT_EQ(gRecordLines[1].text, previewLine);
}

TEST_F(RecordsFiles, CommitSavesOnlyWhenTheGameEnters) {
  gGame.variant = 3;
  LoadRecords(RecordsFileName());
  ASSERT_TRUE(fs::exists("dromov2-0603"));
  const Bytes before = ReadBytes("dromov2-0603");

  RecordValues v;
  v.score = 0;
  EXPECT_EQ(CommitRecord("Zero", v), 0);
  EXPECT_EQ(ReadBytes("dromov2-0603"), before);

  v.score = 2000;
  v.cubes = 77;
  EXPECT_EQ(CommitRecord("Петя"_w, v), 1);
  EXPECT_NE(gRecordLines[0].text.find("Петя"_w), std::string::npos);
  RecordTable onDisk;
  ASSERT_EQ(Decode("dromov2-0603", onDisk), kRecordsOk);
  ExpectTablesEqual(onDisk, gRecordTable);
  EXPECT_EQ(onDisk[0].cubes, 77);
  EXPECT_EQ(Listing(), std::vector<std::string>{"dromov2-0603"});
}

// ------------------------------------------------------------------ lines

TEST_F(RecordsFiles, LineFields) {
  struct Case {
    int32_t score, chainBonus, removalPoints, cubes, timeMs;
    const char* tail;  // everything after the date
  } cases[] = {
      {1000, 500, 250, 12, 61999, "   1000 (50 012 25)  1:01s"},
      // The quotient is formed first, so 29 % can come out as 28.
      {100, 29, 57, 0, 1000, "    100 (28 000 56)  0:01s"},
      {0, 5, 5, 3, 0, "      0 (00 003 00)  0:00s"},
      {99999, 0, 99999, 999, 3599999, "  99999 (00 999 100) 59:59s"},
      {123456, 0, 0, 0, 6000000, "  123456 (00 000 00) 100:00s"},
  };
  for (const Case& c : cases) {
    RecordTable t = DefaultTable(LocalDate{5, 11, 1999});
    t[2].score = c.score;
    t[2].chainBonus = c.chainBonus;
    t[2].removalPoints = c.removalPoints;
    t[2].cubes = c.cubes;
    t[2].timeMs = c.timeMs;
    SetName(t[2], "Ann");
    BuildRecordLines(t);
    EXPECT_EQ(gRecordLines[2].text, std::string(" 3 Ann           05.11.999") + c.tail);
  }
}

TEST_F(RecordsFiles, LinesAndColoursAre52Characters) {
  RecordTable t = DefaultTable(LocalDate{31, 12, 2099});
  RecordValues v;
  v.score = 99999;
  v.cubes = 999;
  v.chainBonus = 98999;
  v.removalPoints = 1000;
  PlaceRecord(t, "ЖЖЖЖЖЖЖЖЖЖЖЖЖЖ"_w, v);
  BuildRecordLines(t);
  const std::string odd = "uu aaaaaaaaaaaa  ttxttxttt  qqqqq vcc ttt ccv aawaaw";
  const std::string even = "vv ssssssssssss  vvyvvyvvv  ooooo wdd uuu ddw ssxssx";
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(gRecordLines[i].text.size(), 52u) << gRecordLines[i].text;
    EXPECT_EQ(gRecordLines[i].colours, i % 2 == 0 ? odd : even);
  }
  EXPECT_EQ(gRecordLines[0].text,
            " 1 " + std::string("ЖЖЖЖЖЖЖЖЖЖЖЖ"_w) + "  07.03.026  99999 (98 999 01)  0:01s");
  EXPECT_EQ(gRecordLines[19].text.substr(0, 3), "20 ");
}

// ------------------------------------------------------------ options reset

TEST_F(RecordsFiles, ClearKeepsOneBackupAndRunsOncePerShape) {
  gGame.variant = 2;
  LoadRecords(RecordsFileName());
  RecordValues v;
  v.score = 5000;
  ASSERT_EQ(CommitRecord("Ира"_w, v), 1);
  const Bytes committed = ReadBytes("dromov2-0402");
  WriteBytes("dromov2-0402_bak", Bytes(7, 0));  // an older backup is replaced

  ClearRecords();
  EXPECT_EQ(gRecordsCleared, 1);
  EXPECT_EQ(ReadBytes("dromov2-0402_bak"), committed);
  const RecordTable defaults = DefaultTable(FakeDate());
  ExpectTablesEqual(gRecordTable, defaults);
  RecordTable onDisk;
  ASSERT_EQ(Decode("dromov2-0402", onDisk), kRecordsOk);
  ExpectTablesEqual(onDisk, defaults);

  // A second reset in the same run does nothing.
  v.score = 6000;
  ASSERT_EQ(CommitRecord("Оля"_w, v), 1);
  const Bytes second = ReadBytes("dromov2-0402");
  ClearRecords();
  EXPECT_EQ(ReadBytes("dromov2-0402"), second);
  EXPECT_EQ(ReadBytes("dromov2-0402_bak"), committed);
  EXPECT_EQ(gRecordTable[0].score, 6000);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"dromov2-0402", "dromov2-0402_bak"}));

  // Once the flag is cleared (a change of shape), it works again.
  gRecordsCleared = 0;
  ClearRecords();
  EXPECT_EQ(ReadBytes("dromov2-0402_bak"), second);
  EXPECT_EQ(gRecordTable[0].score, 940);
}

TEST_F(RecordsFiles, ClearWithoutAFileResetsNothing) {
  gGame.variant = 5;
  gRecordTable = DistinctTable();
  ClearRecords();
  EXPECT_EQ(gRecordsCleared, 0);
  ExpectTablesEqual(gRecordTable, DistinctTable());
  EXPECT_TRUE(Listing().empty());
}

}  // namespace
