// The sound system on a real OpenAL device: OpenAL Soft's wave-file back end
// writes what the listener hears (in real time) to a file, and the tests
// read the samples.  Each test opens its own device and closes it before
// reading.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "sound/al_api.h"
#include "sound/sound.h"
#include "support/wave_capture.h"

namespace {

namespace fs = std::filesystem;

std::string gDir;  // this process's scratch folder
std::string gWav;  // where the device writes

// Before the first OpenAL call: OpenAL Soft reads its config once.
struct WaveDevice : ::testing::Environment {
  void SetUp() override {
    char tmpl[] = "/tmp/dromo-sound-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    gDir = tmpl;
    gWav = gDir + "/out.wav";
    setenv("ALSOFT_CONF", WriteWaveConfig(gDir, gWav).c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(gDir, ec);
  }
};
const auto* const gWaveDevice = ::testing::AddGlobalTestEnvironment(new WaveDevice);

void SleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::vector<std::pair<std::string, std::string>> gBoxes;
int RecordBox(const char* text, const char* caption, uint32_t) {
  gBoxes.emplace_back(caption, text);
  return IDOK;
}

// A 16-bit mono 22050 Hz WAV of a steady sine with short fades.
std::string ToneWav(double seconds, double freq = 440) {
  const int n = static_cast<int>(seconds * 22050);
  std::string data;
  for (int i = 0; i < n; ++i) {
    const double fade = std::min({1.0, i / 50.0, (n - 1 - i) / 50.0});
    const int16_t v = static_cast<int16_t>(20000 * fade * std::sin(2 * M_PI * freq * i / 22050));
    data += static_cast<char>(v & 0xFF);
    data += static_cast<char>((v >> 8) & 0xFF);
  }
  // The loader never reads the header: any 44 bytes will do.
  return std::string(44, 'h') + data;
}

// The voices as the game sets them up: centre, left, right, each at its
// place two units in front of the listener.
void SetUpVoices() {
  const float x[4] = {0, 0.1f, -0.1f, 0};
  for (int v : {kVoiceCentre, kVoiceLeft, kVoiceRight}) {
    AttachSound(v, 1);
    SetVoiceRelative(v, 1);
    SetVoicePosition(v, x[v], 0.0f, -2.0f);
  }
}

class Sound : public ::testing::Test {
 protected:
  fs::path oldCwd;
  void SetUp() override {
    gBoxes.clear();
    SetMessageBoxHook(RecordBox);
    oldCwd = fs::current_path();
    fs::create_directories(gDir + "/run/res");
    fs::current_path(gDir + "/run");
  }
  void TearDown() override {
    SoundShutdown();
    gSoundReady = 0;
    SetMessageBoxHook(nullptr);
    fs::current_path(oldCwd);
  }
  void Write(const std::string& rel, const std::string& bytes) {
    std::ofstream(rel, std::ios::binary) << bytes;
  }
  // The game's own sounds from the build tree.
  void UseGameSounds() {
    fs::remove_all("res");
    fs::copy(std::string(std::getenv("DROMO_BUILD_DIR")) + "/res", "res",
             fs::copy_options::recursive);
  }
  // Device, pack and voices as at start-up; false when something failed.
  bool StartGameSound() {
    SoundStartup();
    if (gSoundReady != 1) return false;
    SetUpVoices();
    return true;
  }
  Recording Stop() {
    SoundShutdown();
    Recording r;
    EXPECT_TRUE(ReadRecording(gWav, r)) << gWav;
    return r;
  }
};

// ------------------------------------------------------- not ready

TEST_F(Sound, WithoutADeviceEveryOperationDoesNothing) {
  for (int v = 1; v <= 3; ++v) {
    AttachSound(v, 1);
    SetVoiceRelative(v, 1);
    SetVoicePosition(v, 0, 0, -2);
    PlaySound(v, 4, 0, 1, 1, 1, 0);
    EXPECT_EQ(VoiceSource(v), 0u) << v;
    DeleteVoice(v);
  }
  EXPECT_EQ(SoundDeviceOpen(), 0);
  SetListenerGain(0);
  SoundBank bank;
  bank.buffers[5] = 77;  // a stale name from a closed device
  DeleteAllSounds(bank);
  EXPECT_EQ(bank.buffers[5], 0u);
  EXPECT_EQ(LoadSoundPack(bank, "res/base/zvu_start.txt"), 0);
  EXPECT_TRUE(gBoxes.empty());
}

TEST_F(Sound, WhileNotReadyNothingPlaysAndNoVoiceIsMade) {
  UseGameSounds();
  ASSERT_EQ(SoundInit(), 1);
  ASSERT_EQ(LoadSoundPack(gSoundBank, "res/base/zvu_start.txt"), 1);
  gSoundReady = 0;
  SetUpVoices();
  for (int v = 1; v <= 3; ++v) EXPECT_EQ(VoiceSource(v), 0u) << v;
  // Voices made while ready, then sound no longer ready: still silent.
  gSoundReady = 1;
  SetUpVoices();
  for (int v = 1; v <= 3; ++v) ASSERT_NE(VoiceSource(v), 0u) << v;
  gSoundReady = 0;
  for (int v = 1; v <= 3; ++v) {
    PlaySound(v, 12, 1, 1.0f, 1.0f, 1.0f, 0);
    SetVoicePosition(v, 5, 5, 5);
  }
  SleepMs(500);
  const Recording r = Stop();
  ASSERT_GT(r.Seconds(), 0.3);
  EXPECT_EQ(r.Peak(0, r.Seconds()), 0.0);
  EXPECT_TRUE(gBoxes.empty());
}

TEST_F(Sound, APendingErrorSkipsOneOperationAndIsThenCleared) {
  UseGameSounds();
  ASSERT_TRUE(StartGameSound());
  // What a lost device or a bad call leaves behind.
  gAl.alSourcei(0x7FFFFFF, kAlLooping, 0);
  PlaySound(kVoiceCentre, 12, 0, 0.9f, 1.0f, 1.0f, 0);
  SleepMs(300);
  PlaySound(kVoiceCentre, 4, 0, 0.9f, 1.0f, 1.0f, 0);
  SleepMs(600);
  const std::vector<Burst> b = FindBursts(Stop());
  // Only the second play sounded: the short thud, not the long fanfare.
  ASSERT_EQ(b.size(), 1u);
  EXPECT_NEAR(b[0].Length(), 0.24, 0.05);
  EXPECT_GT(b[0].start, 0.2);
}

// ------------------------------------------------------- the game's sounds

TEST_F(Sound, SilenceFirstThenALandingATurnAndARemoval) {
  UseGameSounds();
  ASSERT_TRUE(StartGameSound());
  EXPECT_EQ(SoundDeviceOpen(), 1);
  SleepMs(400);
  std::srand(11);
  const int r1 = std::rand();
  std::srand(11);
  PlaySound(kVoiceCentre, 4, 0, 0.9f, 0.8f, 0.9f, 10);  // landing
  SleepMs(500);
  std::srand(12);
  const int r2 = std::rand();
  std::srand(12);
  PlaySound(kVoiceCentre, 5, 0, 0.8f, 0.9f, 1.0f, 10);  // turn
  SleepMs(400);
  PlaySound(kVoiceCentre, 7, 0, 0.9f, 1.0f, 1.0f, 0);  // landing with removals
  SleepMs(700);
  const Recording r = Stop();
  const std::vector<Burst> b = FindBursts(r);
  ASSERT_EQ(b.size(), 3u);
  EXPECT_GT(b[0].start, 0.3) << "sound before the first event";
  EXPECT_EQ(r.Peak(0, b[0].start - 0.01), 0.0);
  // Each sound lasts its own length over its pitch.
  EXPECT_NEAR(b[0].Length(), 0.24 / PitchFromSteps(0.8f, 0.9f, 10, r1), 0.03);
  EXPECT_NEAR(b[1].Length(), 0.10 / PitchFromSteps(0.9f, 1.0f, 10, r2), 0.02);
  EXPECT_NEAR(b[2].Length(), 0.40, 0.04);
  // Loud enough to hear, centred.
  for (const Burst& x : b) {
    const double left = r.Rms(0, x.start, x.end), right = r.Rms(1, x.start, x.end);
    EXPECT_GT(left, 0.01);
    EXPECT_NEAR(left / right, 1.0, 0.02);
  }
  EXPECT_EQ(r.Peak(b[2].end + 0.01, r.Seconds()), 0.0);
}

TEST_F(Sound, VoiceOneIsRightAndVoiceTwoLeft) {
  UseGameSounds();
  ASSERT_TRUE(StartGameSound());
  PlaySound(kVoiceRight, 10, 0, 0.8f, 1.0f, 1.0f, 0);
  SleepMs(1100);
  PlaySound(kVoiceLeft, 10, 0, 0.8f, 1.0f, 1.0f, 0);
  SleepMs(1100);
  const Recording r = Stop();
  const std::vector<Burst> b = FindBursts(r);
  ASSERT_EQ(b.size(), 2u);
  const double r1 = r.Rms(1, b[0].start, b[0].end) / r.Rms(0, b[0].start, b[0].end);
  const double r2 = r.Rms(1, b[1].start, b[1].end) / r.Rms(0, b[1].start, b[1].end);
  std::printf("right/left: voice 1 %.3f, voice 2 %.3f\n", r1, r2);
  EXPECT_GT(r1, 1.03);
  EXPECT_LT(r2, 1 / 1.03);
  EXPECT_NEAR(r1 * r2, 1.0, 0.01) << "the two places mirror each other";
}

TEST_F(Sound, TheSettleLoopGoesOnUntilTheNextSoundOnItsVoice) {
  UseGameSounds();
  ASSERT_TRUE(StartGameSound());
  SleepMs(200);
  PlaySound(kVoiceLeft, 5, 1, 0.5f, 0.5f, 0.5f, 0);
  const auto started = std::chrono::steady_clock::now();
  // A turn on another voice does not stop it.
  SleepMs(300);
  PlaySound(kVoiceCentre, 5, 0, 0.8f, 0.9f, 1.0f, 10);
  SleepMs(900);
  PlaySound(kVoiceLeft, 6, 0, 0.4f, 0.8f, 0.8f, 0);
  const double loopSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  SleepMs(700);
  const Recording r = Stop();
  const std::vector<Burst> b = FindBursts(r);
  ASSERT_EQ(b.size(), 1u) << "the loop must not pause between its rounds";
  // One round at half speed is 0.2 s; here the loop, then the dud (0.25 s).
  EXPECT_NEAR(b[0].Length(), loopSeconds + 0.25, 0.1);
  // The loop has ended: the last 0.3 s are silent.
  EXPECT_LT(b[0].end, r.Seconds() - 0.3);
  // Every 60 ms of the loop carries sound: no click-sized holes.
  for (double t = b[0].start; t + 0.06 < b[0].start + loopSeconds; t += 0.06) {
    EXPECT_GT(r.Rms(0, t, t + 0.06), 0.005) << t - b[0].start;
  }
}

// What the end-to-end test listens for: the removal sounds ring with bells,
// the sounds of landings, turns and empty settles do not.
TEST_F(Sound, OnlyRemovalsRingTheBells) {
  UseGameSounds();
  ASSERT_TRUE(StartGameSound());
  struct Play {
    int voice, n, loop;
    float gain, low, high;
    int steps;
    bool bell;
  };
  const Play plays[] = {
      {kVoiceCentre, 4, 0, 0.9f, 0.8f, 0.9f, 10, false},
      {kVoiceCentre, 5, 0, 0.8f, 0.9f, 1.0f, 10, false},
      {kVoiceLeft, 5, 1, 0.5f, 0.5f, 0.5f, 0, false},
      {kVoiceLeft, 6, 0, 0.4f, 0.8f, 0.8f, 0, false},
      {kVoiceCentre, 7, 0, 0.9f, 1.0f, 1.0f, 0, true},
      {kVoiceLeft, 10, 0, 0.8f, 1.0f, 1.0f, 0, true},
      {kVoiceLeft, 10, 0, 0.85f, 0.8f, 0.8f, 0, true},
      {kVoiceLeft, 10, 0, 0.9f, 0.6f, 0.6f, 0, true},
  };
  for (const Play& p : plays) {
    SleepMs(100);
    PlaySound(p.voice, p.n, p.loop, p.gain, p.low, p.high, p.steps);
    SleepMs(p.loop ? 700 : 1700);
    DeleteVoice(p.voice);  // stops it; the next play makes a new source
    AttachSound(p.voice, 1);
    SetVoiceRelative(p.voice, 1);
    SetVoicePosition(p.voice, p.voice == kVoiceLeft ? -0.1f : 0.0f, 0.0f, -2.0f);
  }
  const Recording r = Stop();
  const std::vector<Burst> b = FindBursts(r);
  ASSERT_EQ(b.size(), std::size(plays));
  for (std::size_t i = 0; i < b.size(); ++i) {
    bool bell = false;
    for (double t = b[i].start; t + 0.2 < b[i].end + 0.1; t += 0.05) bell = bell || BellAt(r, t);
    EXPECT_EQ(bell, plays[i].bell) << "sound " << plays[i].n << " at pitch " << plays[i].low;
  }
}

TEST_F(Sound, PitchComesFromTheSteps) {
  Write("res/tone.wav", ToneWav(0.3));
  Write("res/list.txt", "sounds\n1\n8\nres/tone.wav\na tone\n");
  ASSERT_EQ(SoundInit(), 1);
  ASSERT_EQ(LoadSoundPack(gSoundBank, "res/list.txt"), 1);
  gSoundReady = 1;
  SetUpVoices();
  struct Case {
    float low, high;
    int steps;
    double length;  // 0.3 s over the pitch
  };
  // steps <= 0: low, high ignored; one step: always high, never low.
  const Case cases[] = {
      {0.5f, 2.0f, 0, 0.6}, {0.5f, 1.0f, 1, 0.3}, {1.0f, 3.0f, -2, 0.3}, {0.5f, 1.5f, 2, 0.0}};
  std::srand(5);
  const int r = std::rand();
  const double lastLength = 0.3 / PitchFromSteps(0.5f, 1.5f, 2, r);
  for (const Case& c : cases) {
    if (c.length == 0.0) std::srand(5);
    PlaySound(kVoiceCentre, 8, 0, 1.0f, c.low, c.high, c.steps);
    SleepMs(900);
  }
  const std::vector<Burst> b = FindBursts(Stop());
  ASSERT_EQ(b.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    const double want = cases[i].length > 0 ? cases[i].length : lastLength;
    EXPECT_NEAR(b[static_cast<size_t>(i)].Length(), want, 0.02) << i;
  }
}

TEST(PitchSteps, AreEqualStepsAboveLowUpToHigh) {
  for (int r = 0; r < 40; ++r) {
    const float p = PitchFromSteps(0.8f, 1.0f, 10, r);
    const int k = 1 + r % 10;
    EXPECT_FLOAT_EQ(p, 0.8f + 0.02f * static_cast<float>(k)) << r;
    EXPECT_GT(p, 0.8f);
    EXPECT_LE(p, 1.0f + 1e-6f);
  }
  EXPECT_EQ(PitchFromSteps(0.7f, 5.0f, 0, 123), 0.7f);
}

TEST_F(Sound, MutingThroughTheListenerGain) {
  UseGameSounds();
  ASSERT_TRUE(StartGameSound());
  SetListenerGain(0);
  PlaySound(kVoiceCentre, 7, 0, 0.9f, 1.0f, 1.0f, 0);
  SleepMs(600);
  SetListenerGain(0.95f);
  PlaySound(kVoiceCentre, 4, 0, 0.9f, 1.0f, 1.0f, 0);
  SleepMs(500);
  const std::vector<Burst> b = FindBursts(Stop());
  ASSERT_EQ(b.size(), 1u);
  EXPECT_NEAR(b[0].Length(), 0.24, 0.03) << "only the sound after unmuting";
}

// ------------------------------------------------------- the sound list

struct PackCase {
  const char* name;
  const char* list;  // with files a.wav (a tone), s.wav (10 bytes), o.wav (odd size)
  int result;
  std::vector<int> filled;  // slots holding a buffer afterwards
};
void PrintTo(const PackCase& c, std::ostream* os) {
  *os << c.name;
}

class SoundPack : public Sound, public ::testing::WithParamInterface<PackCase> {};

TEST_P(SoundPack, LoadsOrFailsAsTheListSays) {
  const PackCase& c = GetParam();
  Write("res/a.wav", ToneWav(0.05));
  Write("res/s.wav", "RIFF short");
  Write("res/o.wav", ToneWav(0.05) + "x");
  fs::remove("res/list.txt");
  if (c.list != nullptr) Write("res/list.txt", c.list);
  ASSERT_EQ(SoundInit(), 1);
  EXPECT_EQ(LoadSoundPack(gSoundBank, "res/list.txt"), c.result);
  for (int n = 0; n <= 300; ++n) {
    const bool want = std::find(c.filled.begin(), c.filled.end(), n) != c.filled.end();
    EXPECT_EQ(gSoundBank.buffers[static_cast<size_t>(n)] != 0, want) << n;
  }
  EXPECT_EQ(gAl.alGetError(), kAlNoError);
  DeleteAllSounds(gSoundBank);
  for (AlUint b : gSoundBank.buffers) EXPECT_EQ(b, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SoundPack,
    ::testing::Values(
        PackCase{"Good", "t\n2\n3\nres/a.wav\nd\n4\nres/a.wav\nd\n", 1, {3, 4}},
        PackCase{
            "DuplicateFails", "t\n3\n3\nres/a.wav\nd\n3\nres/a.wav\nd\n5\nres/a.wav\nd\n", 0, {3}},
        PackCase{"AbovetheTopBothOn300", "t\n2\n301\nres/a.wav\nd\n900\nres/a.wav\nd\n", 0, {300}},
        PackCase{"NegativeOn0", "t\n1\n-4\nres/a.wav\nd\n", 1, {0}},
        PackCase{"ShortListFailsKeepingWhatLoaded", "t\n3\n3\nres/a.wav\nd\n4\n", 0, {3}},
        PackCase{"MissingFileIsSilentNotAFailure", "t\n1\n6\nres/none.wav\nd\n", 1, {6}},
        PackCase{"ShorterThanAHeaderIsEmpty", "t\n1\n6\nres/s.wav\nd\n", 1, {6}},
        PackCase{"OddByteIsDropped", "t\n1\n6\nres/o.wav\nd\n", 1, {6}},
        PackCase{"NoSuchList", nullptr, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Sound, AMissingListFailsTheStartUpWithItsMessage) {
  fs::remove("res/base/zvu_start.txt");
  SoundStartup();
  EXPECT_EQ(gSoundReady, 0);
  EXPECT_EQ(SoundDeviceOpen(), 0) << "the device is closed again";
  ASSERT_EQ(gBoxes.size(), 1u);
  EXPECT_EQ(gBoxes[0], std::make_pair(std::string("err"), std::string("not LoadPackWAV")));
  PlaySound(kVoiceCentre, 4, 0, 1, 1, 1, 0);  // silent, no crash
}

TEST_F(Sound, ShortenedSoundsStillLoadAndPlay) {
  UseGameSounds();
  // A damaged pack: one sound cut inside its header, one cut mid-sample.
  fs::resize_file("res/zvu/thud.wav", 30);
  fs::resize_file("res/zvu/pop.wav", fs::file_size("res/zvu/pop.wav") - 1001);
  ASSERT_TRUE(StartGameSound());
  PlaySound(kVoiceCentre, 4, 0, 0.9f, 1.0f, 1.0f, 0);
  SleepMs(300);
  PlaySound(kVoiceCentre, 7, 0, 0.9f, 1.0f, 1.0f, 0);
  SleepMs(600);
  const std::vector<Burst> b = FindBursts(Stop());
  ASSERT_EQ(b.size(), 1u) << "the empty thud is silent";
  EXPECT_GT(b[0].Length(), 0.3);
  EXPECT_TRUE(gBoxes.empty());
}

}  // namespace
