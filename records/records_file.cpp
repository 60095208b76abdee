// The records files: one per well shape, 1280 bytes, scores keyed by
// position, small fields salted, names scrambled in byte pairs, and a
// checksum over the scores.
#include <cstdio>
#include <cstring>

#include "base/file_util.h"
#include "base/random.h"
#include "game/game_state.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "records/records.h"

namespace {

constexpr uint32_t kHeaderFirst = 1;
constexpr uint32_t kHeaderSecond = 977676;

// Position 19 is written first with the base key, each later block one step less.
constexpr uint32_t Key(int position) {
  return 137500u - 4625u * static_cast<uint32_t>(19 - position);
}

// Appends little-endian values to the file image.
struct ByteWriter {
  uint8_t* out;
  uint32_t at = 0;
  void U8(uint32_t v) { out[at++] = static_cast<uint8_t>(v & 0xFF); }
  void U16(uint32_t v) {
    U8(v);
    U8(v >> 8);
  }
  void U32(uint32_t v) {
    U16(v);
    U16(v >> 16);
  }
};

void WriteCounts(ByteWriter& w, const std::array<int32_t, 8>& counts) {
  w.U16(static_cast<uint32_t>(counts[0]));
  w.U16(static_cast<uint32_t>(counts[1]));
  for (int i = 2; i < 8; ++i) w.U8(static_cast<uint32_t>(counts[i]));
}

void ReadCounts(ByteReader& r, std::array<int32_t, 8>& counts) {
  counts[0] = ReadI16(r);
  counts[1] = ReadI16(r);
  for (int i = 2; i < 8; ++i) counts[i] = ReadU8(r);
}

void WriteNameByte(ByteWriter& w, uint8_t c) {
  if (c <= 0x20) {
    // Blanks and control bytes leave no trace: any pair that reads as a space.
    w.U8(static_cast<uint32_t>(Random(4, 14)));
    w.U8(static_cast<uint32_t>(Random(4, 80)));
    return;
  }
  const int r = Random(c / 4, c / 2) + 8;
  w.U8(static_cast<uint32_t>(r));
  w.U8(static_cast<uint32_t>(c - r));
}

// A 16-bit field read back and unsalted: the sign-extended value minus the salt.
int32_t Unsalt(int16_t stored, int32_t salt) {
  return static_cast<int32_t>(stored) - salt;
}

RecordsStatus DecodeFromReader(ByteReader& r, RecordTable& table) {
  const uint32_t size = r.size;
  ReadU32(r);  // the two header values are not checked
  ReadU32(r);
  uint32_t sum = 0;
  for (int p = 19; p >= 0; --p) {
    RecordEntry& e = table[p];
    for (int i = 0; i < 12; ++i) {
      const uint8_t a = ReadU8(r);
      const uint8_t b = ReadU8(r);
      e.name[i] = static_cast<char>(a <= 14 ? ' ' : static_cast<uint8_t>(a + b));
    }
    e.name[12] = '\0';
    e.score = static_cast<int32_t>(ReadU32(r) - Key(p));
    e.timeMs = ReadI32(r);
    const int32_t salt = ReadU8(r);
    e.cubes = Unsalt(ReadI16(r), salt);
    e.chainBonus = Unsalt(ReadI16(r), salt);
    e.removalPoints = Unsalt(ReadI16(r), salt + 3);
    e.month = ReadU8(r);
    e.year = ReadI16(r);
    e.day = ReadU8(r);
    ReadCounts(r, e.chainCounts);
    ReadCounts(r, e.sizeCounts);
    sum += static_cast<uint32_t>(e.score);
  }
  if (ReadU32(r) != sum) return kRecordsChecksum;
  return size < kRecordsFileSize ? kRecordsShort : kRecordsOk;
}

std::string NameForKey(int32_t key) {
  const char* pad = key < 10 ? "000" : key < 100 ? "00" : key < 1000 ? "0" : "";
  return std::string("dromov2-") + pad + IntToString(key);
}

}  // namespace

void EncodeRecords(const RecordTable& table, RecordsFileBytes& out) {
  ByteWriter w{out.data()};
  w.U32(kHeaderFirst);
  w.U32(kHeaderSecond);
  uint32_t sum = 0;
  for (int p = 19; p >= 0; --p) {
    const RecordEntry& e = table[p];
    for (int i = 0; i < 12; ++i) WriteNameByte(w, static_cast<uint8_t>(e.name[i]));
    // Unsigned arithmetic: the stored fields wrap, as the format has them.
    w.U32(static_cast<uint32_t>(e.score) + Key(p));
    w.U32(static_cast<uint32_t>(e.timeMs));
    const uint32_t salt = static_cast<uint32_t>(Random(31 - p, 234));
    w.U8(salt);
    w.U16(static_cast<uint32_t>(e.cubes) + salt);
    w.U16(static_cast<uint32_t>(e.chainBonus) + salt);
    w.U16(static_cast<uint32_t>(e.removalPoints) + salt + 3);
    w.U8(static_cast<uint32_t>(e.month));
    w.U16(static_cast<uint32_t>(e.year));
    w.U8(static_cast<uint32_t>(e.day));
    WriteCounts(w, e.chainCounts);
    WriteCounts(w, e.sizeCounts);
    sum += static_cast<uint32_t>(e.score);
  }
  w.U32(sum);
  w.U32(static_cast<uint32_t>(Random(1, 6)));
  w.U32(static_cast<uint32_t>(Random(1, 6)));
}

RecordsStatus DecodeRecords(const uint8_t* bytes, uint32_t size, RecordTable& table) {
  ByteReader r;
  if (bytes == nullptr) size = 0;
  // Without a copy the reads all give zeros, which still decodes to a table.
  LoadBytesToReader(r, bytes, size);
  const RecordsStatus status = DecodeFromReader(r, table);
  ReleaseReader(r);
  return status;
}

std::string RecordsFileNameFor(int shape) {
  // Rule code and shape are small; the product cannot overflow.
  return NameForKey((gGame.ruleCode * 10 + 1) * shape);
}

std::string RecordsFileName() {
  return RecordsFileNameFor(gGame.variant);
}

void SaveRecords(const std::string& fileName) {
  RecordsFileBytes bytes;
  EncodeRecords(gRecordTable, bytes);
  // The whole image goes to a temporary file that replaces the old one only
  // once complete, so no moment exists in which a crash loses the table.  A
  // file that cannot be written is left as it was, and the player is told
  // on standard error; the next save tries again.
  std::string why;
  if (!ReplaceFileAtomically(fileName.c_str(), bytes.data(), bytes.size(), &why)) {
    std::fprintf(stderr, "st-dromo: the records were not saved to %s: %s\n", fileName.c_str(),
                 why.c_str());
  }
}

void LoadRecords(const std::string& fileName) {
  ByteReader r;
  // Only the first 1280 bytes belong to the table; a longer file is decoded
  // from them, and nothing past them is ever read.
  if (!LoadFileToReader(r, fileName.c_str(), kRecordsFileSize)) {
    ResetRecords(fileName);
    return;
  }
  RecordTable table;
  const RecordsStatus status = DecodeFromReader(r, table);
  ReleaseReader(r);
  // A short file that still adds up is taken; a damaged one is replaced.
  if (status == kRecordsChecksum) {
    ResetRecords(fileName);
    return;
  }
  gRecordTable = table;
  BuildRecordLines(gRecordTable);
  gRecordsLoaded = 1;
}

void FillDefaultRecords(RecordTable& table, int day, int month, int year) {
  for (int p = 0; p < 20; ++p) {
    RecordEntry& e = table[p];
    e = RecordEntry{};
    std::memcpy(e.name, "---         ", 13);
    e.score = 940 - 10 * p;
    e.timeMs = 1680000;  // 28:00
    e.day = day;
    e.month = month;
    e.year = year;
  }
}

void ResetRecords(const std::string& fileName) {
  const LocalDate today = GetLocalDate();
  FillDefaultRecords(gRecordTable, today.day, today.month, today.year);
  BuildRecordLines(gRecordTable);
  SaveRecords(fileName);
  gRecordsLoaded = 1;
}

void ClearRecords() {
  if (gRecordsCleared) return;
  const std::string file = RecordsFileName();
  const std::string backup = file + "_bak";
  // One backup generation: the old one goes first.
  if (FileExists(backup.c_str()) && !DeleteFile(backup.c_str())) return;
  // No file to back up means nothing is reset.
  if (!MoveFile(file.c_str(), backup.c_str())) return;
  ResetRecords(file);
  gRecordsCleared = 1;
}
