// Records saves killed with SIGKILL at random moments: the file must always
// hold the old or the new table, whole and adding up, and a killed save may
// leave at most its one temporary file behind, which the next save reuses.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "platform/platform.h"
#include "records/records.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Two tables that differ in every score, so a file tells which one it holds.
RecordTable Table(int base) {
  RecordTable t{};
  for (int p = 0; p < 20; ++p) {
    RecordEntry& e = t[p];
    std::memcpy(e.name, "kill test   ", 13);
    e.score = base - 10 * p;
    e.timeMs = 1000 + p;
    e.day = 1;
    e.month = 2;
    e.year = 2026;
  }
  return t;
}

// 0 when the file does not decode, else the first score (which names the table).
int32_t TableOnDisk(const std::string& path) {
  const std::vector<uint8_t> b = ReadBytes(path);
  RecordTable t{};
  if (b.size() != kRecordsFileSize ||
      DecodeRecords(b.data(), static_cast<uint32_t>(b.size()), t) != kRecordsOk)
    return 0;
  return t[0].score;
}

size_t EntriesIn(const fs::path& dir) {
  size_t n = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    (void)e;
    ++n;
  }
  return n;
}

class KilledSaves : public ::testing::Test {
 protected:
  void SetUp() override {
    oldDir_ = fs::current_path();
    char tmpl[] = "/tmp/dromo-kill-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    fs::current_path(dir_);
    gGame.ruleCode = 20;
  }
  void TearDown() override {
    fs::current_path(oldDir_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path oldDir_, dir_;
};

// A child that saves `table` once and exits.
pid_t StartSave(const RecordTable& table, const std::string& file) {
  const pid_t pid = fork();
  if (pid == 0) {
    gRecordTable = table;
    SaveRecords(file);
    _exit(0);
  }
  return pid;
}

void Reap(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

TEST_F(KilledSaves, TheFileIsAlwaysOneWholeTableAndAtMostOneTemporaryFileIsLeft) {
  const std::string file = "dromov2-0201";
  const RecordTable tables[2] = {Table(90000), Table(50000)};
  gRecordTable = tables[0];
  SaveRecords(file);
  ASSERT_EQ(TableOnDisk(file), 90000);
  int current = 0;  // the table the file holds

  // How long one save takes from fork to exit, so that the kills are spread
  // over the whole of it (and a little beyond).
  const auto t0 = std::chrono::steady_clock::now();
  constexpr int kCalibration = 20;
  for (int i = 0; i < kCalibration; ++i) {
    current = 1 - current;
    Reap(StartSave(tables[current], file));
  }
  ASSERT_EQ(TableOnDisk(file), tables[current][0].score);
  const auto saveUs =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0)
          .count() /
      kCalibration;

  std::mt19937 rng(20261210);
  std::uniform_int_distribution<long> delay(0, saveUs + saveUs / 4 + 1);
  int kills = 0, keptOld = 0, tookNew = 0, damaged = 0;
  size_t mostTemporary = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(45);
  while (kills < 3000 && std::chrono::steady_clock::now() < deadline) {
    const int next = 1 - current;
    const pid_t pid = StartSave(tables[next], file);
    ASSERT_GT(pid, 0);
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(delay(rng));
    while (std::chrono::steady_clock::now() < until) {
    }
    kill(pid, SIGKILL);
    Reap(pid);
    ++kills;
    const int32_t first = TableOnDisk(file);
    if (first == tables[current][0].score) {
      ++keptOld;
    } else if (first == tables[next][0].score) {
      ++tookNew;
      current = next;
    } else {
      ++damaged;
    }
    // Everything in the folder but the records file itself is litter.
    const size_t temporary = EntriesIn(dir_) - (fs::exists(file) ? 1 : 0);
    mostTemporary = std::max(mostTemporary, temporary);
    if (temporary > 0) {
      EXPECT_TRUE(fs::exists(ReplacingTempName(file)))
          << "a temporary file under another name than " << ReplacingTempName(file);
    }
  }
  std::printf(
      "  one save %ld us; kills %d: old table %d, new table %d, damaged %d; "
      "most temporary files at once %zu\n",
      static_cast<long>(saveUs), kills, keptOld, tookNew, damaged, mostTemporary);
  RecordProperty("kills", kills);
  RecordProperty("old_table", keptOld);
  RecordProperty("new_table", tookNew);
  RecordProperty("damaged", damaged);
  RecordProperty("most_temporary", static_cast<int>(mostTemporary));
  EXPECT_EQ(damaged, 0);
  EXPECT_LE(mostTemporary, 1u);
  EXPECT_GE(kills, 500) << "too few kills to mean anything";
  // The kills must have landed both before and after the replace.
  EXPECT_GT(keptOld, 0);
  EXPECT_GT(tookNew, 0);

  // A finished save clears whatever the last kill left.
  current = 1 - current;
  Reap(StartSave(tables[current], file));
  EXPECT_EQ(TableOnDisk(file), tables[current][0].score);
  EXPECT_EQ(EntriesIn(dir_), 1u);
}

}  // namespace
