// One OpenAL device and context, the bank of up to 300 sounds and the three
// effect voices.  Every call goes through the table of sound/al_api.h.
#include "sound/sound.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "platform/platform.h"
#include "sound/sound_pack.h"

int gSoundReady = 0;
SoundBank gSoundBank;

namespace {

AlcDevice* gDevice = nullptr;
AlcContext* gContext = nullptr;
// Sources of voices 1..3; index 0 unused.
AlUint gVoices[4] = {0, 0, 0, 0};

#ifdef _WIN32
constexpr const char* kDeviceName = "DirectSound3D";
#else
// The DirectSound device exists only on Windows; elsewhere the default one.
constexpr const char* kDeviceName = nullptr;
#endif

// A context to call into: without one (no device, or the table never
// filled) nothing may reach OpenAL at all.
bool Live() {
  return gContext != nullptr;
}

// Sound may play: the pack is loaded and no OpenAL error is pending.  The
// test takes the pending error, so the operation after a failed one works
// again.
bool SoundAvailable() {
  return gSoundReady != 0 && Live() && gAl.alGetError() == kAlNoError;
}

AlUint* VoiceSlot(int voice) {
  return voice >= 1 && voice <= 3 ? &gVoices[voice] : nullptr;
}

bool ValidSource(AlUint source) {
  return source != 0 && Live() && gAl.alIsSource(source);
}

// The ALC error check after creating the context: a box with the device's
// own words for it.
bool AlcErrorShown() {
  const AlcEnum code = gAl.alcGetError(gDevice);
  if (code == kAlcNoError) return false;
  const char* what = gAl.alcGetString(gDevice, code);
  const std::string text = std::string("ALC error: ") + (what != nullptr ? what : "");
  MessageBox(text.c_str(), "Error", MB_OK | MB_ICONEXCLAMATION);
  return true;
}

void CreateVoice(AlUint* slot, int voice) {
  DeleteVoice(voice);
  AlUint source = 0;
  gAl.alGenSources(1, &source);
  if (gAl.alGetError() != kAlNoError) return;
  *slot = source;
  gAl.alSourcef(source, kAlPitch, 1.0f);
  gAl.alSourcef(source, kAlGain, 1.0f);
  gAl.alSource3f(source, kAlPosition, 0.0f, 0.0f, 0.0f);
  gAl.alSource3f(source, kAlVelocity, 0.0f, 0.0f, 0.0f);
  gAl.alSourcei(source, kAlLooping, kAlFalse);
}

}  // namespace

int SoundInit() {
  if (!AlApiComplete(gAl) && !FillAlApi(gAl)) {
    // No library to talk to is the same as no device.
    gAl = AlApi{};
  }
  if (AlApiComplete(gAl)) gDevice = gAl.alcOpenDevice(kDeviceName);
  if (gDevice == nullptr) {
    MessageBox("DirectSound3D  sound device not present", "Error", MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }
  gContext = gAl.alcCreateContext(gDevice, nullptr);
  if (AlcErrorShown() || gContext == nullptr) {
    if (gContext != nullptr) gAl.alcDestroyContext(gContext);
    gAl.alcCloseDevice(gDevice);
    gDevice = nullptr;
    gContext = nullptr;
    return 0;
  }
  gAl.alcMakeContextCurrent(gContext);
  if (gAl.alcGetError(gDevice) != kAlcNoError) {
    gAl.alcMakeContextCurrent(nullptr);
    gAl.alcDestroyContext(gContext);
    gAl.alcCloseDevice(gDevice);
    gDevice = nullptr;
    gContext = nullptr;
    return 0;
  }
  SetListener();
  gAl.alGetError();
  gAl.alListenerf(kAlGain, 0.9f);
  gAl.alDopplerFactor(1.0f);
  gAl.alDopplerVelocity(343.0f);
  return 1;
}

void SetListener() {
  if (!Live()) return;
  const AlFloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
  gAl.alListener3f(kAlPosition, 0.0f, 0.0f, 0.0f);
  gAl.alListener3f(kAlVelocity, 0.0f, 0.0f, 0.0f);
  gAl.alListenerfv(kAlOrientation, orientation);
}

int LoadSoundPack(SoundBank& bank, const char* listPath) {
  std::string text;
  if (listPath == nullptr || !ReadWholeFile(listPath, text)) return 0;
  if (!Live()) return 0;
  const SoundList list = ParseSoundList(text);
  std::vector<uint8_t> file;
  for (const SoundListEntry& e : list.entries) {
    AlUint& slot = bank.buffers[static_cast<std::size_t>(e.number)];
    if (slot != 0) return 0;  // the same number twice
    AlUint buffer = 0;
    gAl.alGenBuffers(1, &buffer);
    if (gAl.alGetError() != kAlNoError) return 0;
    slot = buffer;
    // A missing or empty file leaves the sound silent.
    if (!ReadSoundFile(e.path.c_str(), file)) continue;
    const std::span<const uint8_t> samples = WavSampleBytes(file);
    if (samples.empty()) continue;
    gAl.alBufferData(buffer, kAlFormatMono16, samples.data(), static_cast<AlSizei>(samples.size()),
                     kSoundRate);
  }
  if (!list.complete) return 0;
  return gAl.alGetError() == kAlNoError ? 1 : 0;
}

void DeleteAllSounds(SoundBank& bank) {
  for (AlUint& b : bank.buffers) {
    if (b != 0 && Live() && gAl.alIsBuffer(b)) gAl.alDeleteBuffers(1, &b);
    b = 0;
  }
}

void CloseSoundDevice() {
  if (gDevice != nullptr || gContext != nullptr) gAl.alcMakeContextCurrent(nullptr);
  if (gContext != nullptr) gAl.alcDestroyContext(gContext);
  if (gDevice != nullptr) gAl.alcCloseDevice(gDevice);
  gContext = nullptr;
  gDevice = nullptr;
}

void SoundStartup() {
  gSoundReady = 0;
  if (!SoundInit()) {
    MessageBox("not InitOpenAL", "err", MB_OK);
    return;
  }
  if (!LoadSoundPack(gSoundBank, "res/base/zvu_start.txt")) {
    MessageBox("not LoadPackWAV", "err", MB_OK);
    SoundShutdown();
    return;
  }
  gSoundReady = 1;
  SetListener();
}

void SoundShutdown() {
  DeleteVoice(kVoiceCentre);
  DeleteVoice(kVoiceLeft);
  DeleteVoice(kVoiceRight);
  DeleteAllSounds(gSoundBank);
  CloseSoundDevice();
}

void AttachSound(int voice, int n) {
  AlUint* slot = VoiceSlot(voice);
  if (slot == nullptr || !SoundAvailable()) return;
  if (*slot == 0) CreateVoice(slot, voice);
  if (!ValidSource(*slot) || n < 1 || n > 300) return;
  const AlUint buffer = gSoundBank.buffers[static_cast<std::size_t>(n)];
  if (buffer != 0 && gAl.alIsBuffer(buffer)) {
    gAl.alSourcei(*slot, kAlBuffer, static_cast<AlInt>(buffer));
  }
}

void SetVoiceRelative(int voice, int relative) {
  AlUint* slot = VoiceSlot(voice);
  if (slot == nullptr || !ValidSource(*slot)) return;
  gAl.alSourcei(*slot, kAlSourceRelative, relative ? kAlTrue : kAlFalse);
}

void SetVoicePosition(int voice, float x, float y, float z) {
  AlUint* slot = VoiceSlot(voice);
  if (slot == nullptr || !SoundAvailable() || !ValidSource(*slot)) return;
  gAl.alSource3f(*slot, kAlPosition, x, y, z);
}

void DeleteVoice(int voice) {
  AlUint* slot = VoiceSlot(voice);
  if (slot == nullptr || *slot == 0) return;
  if (!ValidSource(*slot)) {
    *slot = 0;
    return;
  }
  AlInt state = 0;
  gAl.alGetSourcei(*slot, kAlSourceState, &state);
  if (state == kAlPlaying || state == kAlPaused) gAl.alSourceStop(*slot);
  gAl.alDeleteSources(1, slot);
  *slot = 0;
}

AlUint VoiceSource(int voice) {
  const AlUint* slot = VoiceSlot(voice);
  return slot != nullptr ? *slot : 0;
}

float PitchFromSteps(float low, float high, int steps, int r) {
  if (steps <= 0) return low;
  const int k = 1 + r % steps;
  return low + ((high - low) / static_cast<float>(steps)) * static_cast<float>(k);
}

void PlaySound(int voice, int n, int loop, float gain, float low, float high, int steps) {
  AlUint* slot = VoiceSlot(voice);
  if (slot == nullptr || !SoundAvailable() || !ValidSource(*slot)) return;
  const AlUint s = *slot;
  // Cut off whatever the voice was playing and start from plain settings.
  gAl.alSourcef(s, kAlGain, 0.0f);
  gAl.alSourcei(s, kAlLooping, kAlFalse);
  gAl.alSourceStop(s);
  gAl.alSourcef(s, kAlPitch, 1.0f);
  gAl.alSourcef(s, kAlGain, 1.0f);
  gAl.alSource3f(s, kAlVelocity, 0.0f, 0.0f, 0.0f);
  AttachSound(voice, n);
  if (!SoundAvailable() || !ValidSource(s)) return;
  gAl.alSourcei(s, kAlLooping, loop ? kAlTrue : kAlFalse);
  gAl.alSourcef(s, kAlGain, gain);
  const float pitch = steps > 0 ? PitchFromSteps(low, high, steps, std::rand()) : low;
  gAl.alSourcef(s, kAlPitch, pitch);
  gAl.alSourcePlay(s);
}

int SoundDeviceOpen() {
  return gDevice != nullptr ? 1 : 0;
}

void SetListenerGain(float gain) {
  if (!Live()) return;
  gAl.alListenerf(kAlGain, gain);
}
