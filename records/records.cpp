// The records tables in memory: ranking a game, the live preview, the final
// entry and the display lines the records panels draw.
#include "records/records.h"

#include <cstdio>
#include <cstring>

#include "base/text.h"
#include "platform/clock.h"

namespace {

// What both tables hold before the first load replaces them.
constexpr RecordTable InitialTable() {
  RecordTable t{};
  for (RecordEntry& e : t) {
    for (int i = 0; i < 12; ++i) e.name[i] = ' ';
    e.name[12] = '\0';
    e.day = 16;
    e.month = 1;
    e.year = 2008;
  }
  return t;
}

// The game does not time itself for the table; every new entry gets one
// second, so it ranks above older entries of the same score.
constexpr int32_t kNewEntryTimeMs = 1000;

constexpr char kOddColours[] =
    "uu"
    " "
    "aaaaaaaaaaaa  ttxttxttt  qqqqq"
    " vcc ttt ccv"
    " aawaaw";
constexpr char kEvenColours[] =
    "vv"
    " "
    "ssssssssssss  vvyvvyvvv  ooooo"
    " wdd uuu ddw"
    " ssxssx";
static_assert(sizeof(kOddColours) == 53 && sizeof(kEvenColours) == 53);

// Whole percent of `part` in `score`: the quotient first, then times 100,
// truncated, as the table has always shown it.
int32_t Share(int32_t part, int32_t score) {
  if (score == 0) return 0;
  const double share = static_cast<double>(part) / static_cast<double>(score) * 100.0;
  // A share far outside int range only comes from a damaged file.
  if (!(share > -2147483648.0 && share < 2147483648.0)) return 0;
  return static_cast<int32_t>(share);
}

}  // namespace

RecordTable gRecordTable = InitialTable();
RecordTable gPreviewTable = InitialTable();
std::array<RecordLine, 20> gRecordLines;
int32_t gRecordsLoaded = 0;
int32_t gRecordsCleared = 0;
int32_t gPreviewRank = 0;

int PlaceRecord(RecordTable& table, const std::string& name, const RecordValues& values) {
  const int32_t score = values.score;
  if (score <= 0) return 0;
  int k = 0;
  while (k < 20) {
    const RecordEntry& e = table[k];
    if (e.score < score || (e.score == score && e.timeMs >= kNewEntryTimeMs)) break;
    ++k;
  }
  if (k == 20) return 0;
  for (int i = 19; i > k; --i) table[i] = table[i - 1];

  RecordEntry& e = table[k];
  const std::size_t n = name.size() < 12 ? name.size() : 12;
  std::memset(e.name, ' ', 12);
  std::memcpy(e.name, name.data(), n);
  e.name[12] = '\0';
  e.score = score;
  e.timeMs = kNewEntryTimeMs;
  e.cubes = values.cubes;
  e.chainBonus = values.chainBonus;
  e.removalPoints = values.removalPoints;
  const LocalDate today = GetLocalDate();
  e.day = today.day;
  e.month = today.month;
  e.year = today.year;
  e.chainCounts = values.chainCounts;
  e.sizeCounts = values.sizeCounts;
  return k + 1;
}

void PreviewRecord(const RecordValues& values) {
  gPreviewTable = gRecordTable;
  gPreviewRank = PlaceRecord(gPreviewTable, "> игрок"_w, values);
  // Outside the table the lines keep showing the last table built.
  if (gPreviewRank > 0) BuildRecordLines(gPreviewTable);
}

int CommitRecord(const std::string& name, const RecordValues& values) {
  const int rank = PlaceRecord(gRecordTable, name, values);
  if (rank > 0) {
    SaveRecords(RecordsFileName());
    BuildRecordLines(gRecordTable);
  }
  return rank;
}

void BuildRecordLines(const RecordTable& source) {
  for (int i = 1; i <= 20; ++i) {
    const RecordEntry& e = source[i - 1];
    int32_t seconds = e.timeMs / 1000;
    const int32_t minutes = seconds / 60;
    seconds %= 60;
    // The name stops at its terminating zero like any C string, and never
    // reads past its 13 bytes.
    const std::size_t nameLength = strnlen(e.name, sizeof(e.name));
    char text[200];
    std::snprintf(text, sizeof(text), "%2d %.*s  %02d.%02d.%03d  %5d (%02d %03d %02d) %2d:%02ds", i,
                  static_cast<int>(nameLength), e.name, e.day, e.month, e.year % 1000, e.score,
                  Share(e.chainBonus, e.score), e.cubes, Share(e.removalPoints, e.score), minutes,
                  seconds);
    gRecordLines[i - 1].text = text;
    gRecordLines[i - 1].colours = (i % 2 == 1) ? kOddColours : kEvenColours;
  }
}
