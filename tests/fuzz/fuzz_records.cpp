// Records files: decoded and, like the game does after a load, turned into
// the twenty display lines.
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "records/records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchFolder();
  RecordTable table{};
  const uint32_t n = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
  DecodeRecords(data, n, table);
  // The game shows only tables that add up, but the lines must be safe for
  // any decoded values.
  BuildRecordLines(table);
  return 0;
}
