// The twenty best games of each well shape, kept in one 1280-byte file per
// shape in the working directory.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct RecordEntry {
  char name[13];  // Windows-1251, padded with spaces to 12, zero-terminated
  int32_t score;
  int32_t timeMs;
  int32_t cubes;
  int32_t chainBonus;
  int32_t removalPoints;
  int32_t day, month, year;
  std::array<int32_t, 8> chainCounts;  // with the statistics bias
  std::array<int32_t, 8> sizeCounts;
};

using RecordTable = std::array<RecordEntry, 20>;

struct RecordLine {
  std::string text;     // display text, Windows-1251
  std::string colours;  // one colour letter per character
};

extern RecordTable gRecordTable;
extern RecordTable gPreviewTable;
extern std::array<RecordLine, 20> gRecordLines;
extern int32_t gRecordsLoaded;   // the table of the current shape was read this game
extern int32_t gRecordsCleared;  // the options-menu reset was done for this shape
extern int32_t gPreviewRank;     // 0..20

// The values a finished (or running) game hands to the table.
struct RecordValues {
  int32_t score = 0;
  int32_t cubes = 0;
  int32_t chainBonus = 0;
  int32_t removalPoints = 0;
  std::array<int32_t, 8> chainCounts{};
  std::array<int32_t, 8> sizeCounts{};
};

// "dromov2-NNNN" for the current shape (or for the given shape 1..6).
std::string RecordsFileName();
std::string RecordsFileNameFor(int shape);

void LoadRecords(const std::string& fileName);
void SaveRecords(const std::string& fileName);
void ResetRecords(const std::string& fileName);
// The table a fresh records file holds: twenty "---" entries from 940 points
// down, 28:00 each, dated `day`.`month`.`year`.
void FillDefaultRecords(RecordTable& table, int day, int month, int year);
void ClearRecords();
int PlaceRecord(RecordTable& table, const std::string& name, const RecordValues& values);
void PreviewRecord(const RecordValues& values);
int CommitRecord(const std::string& name, const RecordValues& values);
void BuildRecordLines(const RecordTable& source);

// ------------------------------------------------------------ file bytes

constexpr uint32_t kRecordsFileSize = 1280;
constexpr uint32_t kRecordBlockSize = 63;
constexpr uint32_t kRecordsChecksumOffset = 1268;

using RecordsFileBytes = std::array<uint8_t, kRecordsFileSize>;

// The file's bytes for a table.  Salts, name pairs and fillers are drawn
// with Random.
void EncodeRecords(const RecordTable& table, RecordsFileBytes& out);

enum RecordsStatus : int {
  kRecordsOk = 0,
  kRecordsShort = 1,     // fewer than 1280 bytes; decoded with zeros for the rest
  kRecordsChecksum = 2,  // the checksum does not match the scores
};

// Decodes a file's bytes into `table` (always fully written; missing bytes
// count as zeros).  A checksum mismatch is reported before a short size.
RecordsStatus DecodeRecords(const uint8_t* bytes, uint32_t size, RecordTable& table);
