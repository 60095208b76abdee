// Timers, pulses, random numbers, file utilities and Windows-1251 text.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include "base/file_util.h"
#include "base/random.h"
#include "base/text.h"
#include "base/timers.h"
#include "platform/platform.h"

namespace {

uint32_t gFakeNow = 1000;
uint32_t FakeTicks() {
  return gFakeNow;
}

class FakeClock : public ::testing::Test {
 protected:
  void SetUp() override {
    gFakeNow = 1000;
    SetTickSource(FakeTicks);
    gFrameClock = FrameClock{};
    ResetFrameClock();
  }
  void TearDown() override { SetTickSource(nullptr); }
};

using FrameClockTest = FakeClock;
using PulseTest = FakeClock;

TEST_F(FrameClockTest, DeltaIsAtLeastOneAndUncapped) {
  TickFrameClock();
  EXPECT_EQ(gFrameClock.deltaMs, 1);  // same millisecond
  gFakeNow += 16;
  TickFrameClock();
  EXPECT_EQ(gFrameClock.deltaMs, 16);
  EXPECT_EQ(gFrameClock.prevDeltaMs, 1);
  gFakeNow += 60000;  // a long pause is not capped
  TickFrameClock();
  EXPECT_EQ(gFrameClock.deltaMs, 60000);
}

TEST_F(FrameClockTest, CountdownsStopAtZero) {
  gFakeNow += 16;
  TickFrameClock();
  int32_t c = 5;
  CountDown(c);
  EXPECT_EQ(c, 0);
  int32_t neg = -3;
  CountDown(neg);
  EXPECT_EQ(neg, -3);  // already expired: left alone
  int32_t d = 20;
  EXPECT_EQ(CountDownExpired(d), 0);
  EXPECT_EQ(d, 4);
  EXPECT_EQ(CountDownExpired(d), 1);
  EXPECT_EQ(d, 0);
  EXPECT_FLOAT_EQ(FrameScaled(0.34f), 0.34f * 16);
}

TEST_F(PulseTest, MovesOncePerPeriod) {
  Pulse p;
  PulseInit(p, 0.75f, 0.5f, 1.0f, 0.015f, kPulsePingPong, 10);
  gFakeNow += 5;
  EXPECT_FLOAT_EQ(PulseStep(p), 0.75f);  // within the period
  gFakeNow += 6;                         // 11 ms since init
  EXPECT_NEAR(PulseStep(p), 0.75f + 1.1f * 0.015f, 1e-6);
  EXPECT_NEAR(PulseStep(p), 0.75f + 1.1f * 0.015f, 1e-6);  // same tick: no move
}

TEST_F(PulseTest, PingPongClampsAndReverses) {
  Pulse p;
  PulseInit(p, 0.9f, 0.5f, 1.0f, 0.015f, kPulsePingPong, 10);
  gFakeNow += 100;  // 0.15 in one update
  EXPECT_FLOAT_EQ(PulseStep(p), 1.0f);
  EXPECT_EQ(p.direction, -1);
  EXPECT_EQ(p.bounceCount, 1);
  gFakeNow += 100;
  EXPECT_NEAR(PulseStep(p), 0.85f, 1e-6);
}

TEST_F(PulseTest, OneShotStopsOnTheBound) {
  Pulse p;
  PulseInit(p, 0.0f, 0.0f, 1.0f, 0.4f, kPulseOneShot, 10);
  for (int i = 0; i < 5; ++i) {
    gFakeNow += 11;
    PulseStep(p);
  }
  EXPECT_FLOAT_EQ(p.value, 1.0f);
  EXPECT_EQ(p.state, 1);
  gFakeNow += 100;
  EXPECT_FLOAT_EQ(PulseStep(p), 1.0f);
}

TEST_F(PulseTest, WrapSubtractsMax) {
  Pulse p;
  PulseInit(p, 350.0f, 0.0f, 360.0f, 20.0f, kPulseWrap, 10);
  gFakeNow += 10;  // not more than the period
  PulseStep(p);
  gFakeNow += 1;
  // 11 ms since init: 1.1 * 20 = 22 -> 372 -> 12
  EXPECT_NEAR(PulseStep(p), 12.0f, 1e-4);
  EXPECT_EQ(p.bounceCount, 1);
}

TEST_F(PulseTest, UnstartedPulseOnlyStarts) {
  Pulse p;  // lastTick 0
  p.value = 0.3f;
  p.step = 1.0f;
  p.periodMs = 10;
  p.mode = kPulsePingPong;
  EXPECT_FLOAT_EQ(PulseStep(p), 0.3f);
  EXPECT_EQ(p.lastTick, gFakeNow);
}

TEST(RandomTest, StaysWithinInclusiveRange) {
  std::srand(7);
  bool seen[10] = {};
  for (int i = 0; i < 2000; ++i) {
    const int v = Random(1, 9);
    ASSERT_GE(v, 1);
    ASSERT_LE(v, 9);
    seen[v] = true;
  }
  for (int v = 1; v <= 9; ++v) EXPECT_TRUE(seen[v]) << v;
  EXPECT_EQ(Random(4, 4), 4);
  EXPECT_EQ(Random(5, 2), 5);  // empty range: no division by zero
}

TEST(ByteReaderTest, ReadsLittleEndianAndNeverPastTheEnd) {
  const uint8_t bytes[] = {0x01, 0x02, 0xFE, 0xFF, 0x78, 0x56, 0x34};
  ByteReader r;
  ASSERT_EQ(LoadBytesToReader(r, bytes, sizeof bytes), 1);
  EXPECT_EQ(ReadU8(r), 0x01);
  EXPECT_EQ(ReadU8(r), 0x02);
  EXPECT_EQ(ReadI16(r), -2);
  EXPECT_EQ(r.cursor, 4u);
  EXPECT_EQ(ReadU32(r), 0u);  // 3 bytes left: nothing read
  EXPECT_EQ(r.cursor, 4u);
  EXPECT_EQ(ReadU8(r), 0x78);
  EXPECT_EQ(ReadI16(r), 0x3456);
  EXPECT_EQ(ReadU8(r), 0);
  EXPECT_EQ(r.cursor, 7u);
  // A reader that already holds data refuses another load and keeps it.
  EXPECT_EQ(LoadBytesToReader(r, bytes, 2), 0);
  EXPECT_EQ(r.size, 7u);
  ReleaseReader(r);
  EXPECT_EQ(r.data, nullptr);
  EXPECT_EQ(ReadU32(r), 0u);
}

TEST(FileUtilTest, LoadMissingOrEmptyPathFails) {
  ByteReader r;
  EXPECT_EQ(LoadFileToReader(r, ""), 0);
  EXPECT_EQ(LoadFileToReader(r, "no-such-file.bin"), 0);
  EXPECT_EQ(r.data, nullptr);
}

TEST(FileUtilTest, WritersAndOpenForWriteReplaceTheFile) {
  const char* path = "file_util_test.bin";
  {
    std::ofstream old(path);
    old << "old contents that are longer";
  }
  std::FILE* f = OpenForWrite(path);
  ASSERT_NE(f, nullptr);
  WriteU8(0x1AB, f);
  WriteU32(0x11223344, f);
  WriteU8(1, nullptr);  // no file: nothing happens
  std::fclose(f);
  ByteReader r;
  ASSERT_EQ(LoadFileToReader(r, path), 1);
  ASSERT_EQ(r.size, 5u);
  EXPECT_EQ(ReadU8(r), 0xAB);
  EXPECT_EQ(ReadU32(r), 0x11223344u);
  ReleaseReader(r);
  std::remove(path);
}

TEST(FileUtilTest, AtomicReplaceKeepsOldFileOnFailure) {
  const char* path = "atomic_test.bin";
  ASSERT_EQ(ReplaceFileAtomically(path, "abc", 3), 1);
  std::string got;
  ASSERT_EQ(ReadWholeFile(path, got), 1);
  EXPECT_EQ(got, "abc");
  ASSERT_EQ(chmod(path, 0640), 0);
  ASSERT_EQ(ReplaceFileAtomically(path, "defg", 4), 1);
  ASSERT_EQ(ReadWholeFile(path, got), 1);
  EXPECT_EQ(got, "defg");
  struct stat st {};
  ASSERT_EQ(stat(path, &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";
  // A target in a missing directory cannot be written; nothing is left behind.
  EXPECT_EQ(ReplaceFileAtomically("no-such-dir/x.bin", "z", 1), 0);
  std::remove(path);
}

TEST(FileUtilTest, SkipRestOfLine) {
  struct Case {
    const char* text;
    bool first;
    int nextChar;
  };
  const Case cases[] = {
      {"12 comment\nX", true, 'X'},
      {"crlf\r\nY", true, 'Y'},
      {"no line end", false, -1},
      {"", false, -1},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.text);
    EXPECT_EQ(SkipRestOfLine(in), c.first) << c.text;
    if (c.nextChar >= 0) {
      EXPECT_EQ(in.get(), c.nextChar) << c.text;
    }
  }
}

TEST(FileUtilTest, TrimAndIntToString) {
  EXPECT_EQ(Trim(" \t a b \t"), "a b");
  EXPECT_EQ(Trim("\t \t"), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(IntToString(-42), "-42");
  EXPECT_EQ(IntToString(0), "0");
}

TEST(TextTest, CompileTimeConversion) {
  EXPECT_STREQ("спорт"_w, "\xF1\xEF\xEE\xF0\xF2");
  EXPECT_STREQ("лёгкое"_w, "\xEB\xB8\xE3\xEA\xEE\xE5");
  EXPECT_STREQ("Ёж №1"_w,
               "\xA8\xE6 \xB9"
               "1");
  EXPECT_STREQ("plain"_w, "plain");
}

TEST(TextTest, RunTimeRoundTrip) {
  const std::string utf8 = "Привет, ёжик! Ё №5";
  const std::string w = Utf8ToCp1251(utf8);
  EXPECT_EQ(w.size(), 18u);
  EXPECT_EQ(Cp1251ToUtf8(w), utf8);
  EXPECT_EQ(Utf8ToCp1251("日本"), "??");
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
}

}  // namespace
