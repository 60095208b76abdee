// The OpenAL 1.1 entry points the sound system calls, reached through one
// table of function pointers.  Linux links the library and fills the table
// from it; a build that loads the library at run time fills the same table
// from what it finds.  This header has its own few AL/ALC types and
// constants (the OpenAL 1.1 values) so that nothing outside the fillers
// needs the OpenAL headers.
#pragma once

using AlBoolean = char;
using AlChar = char;
using AlInt = int;
using AlUint = unsigned int;
using AlSizei = int;
using AlEnum = int;
using AlFloat = float;
using AlcBoolean = char;
using AlcInt = int;
using AlcEnum = int;
struct AlcDevice;
struct AlcContext;

constexpr AlEnum kAlNoError = 0;
constexpr AlEnum kAlFalse = 0;
constexpr AlEnum kAlTrue = 1;
constexpr AlEnum kAlSourceRelative = 0x202;
constexpr AlEnum kAlPitch = 0x1003;
constexpr AlEnum kAlPosition = 0x1004;
constexpr AlEnum kAlDirection = 0x1005;
constexpr AlEnum kAlVelocity = 0x1006;
constexpr AlEnum kAlLooping = 0x1007;
constexpr AlEnum kAlBuffer = 0x1009;
constexpr AlEnum kAlGain = 0x100A;
constexpr AlEnum kAlOrientation = 0x100F;
constexpr AlEnum kAlSourceState = 0x1010;
constexpr AlEnum kAlPlaying = 0x1012;
constexpr AlEnum kAlPaused = 0x1013;
constexpr AlEnum kAlStopped = 0x1014;
constexpr AlEnum kAlFormatMono16 = 0x1101;
constexpr AlEnum kAlInvalidName = 0xA001;
constexpr AlcEnum kAlcNoError = 0;

struct AlApi {
  // ALC: the device and its context.
  AlcDevice* (*alcOpenDevice)(const AlChar* name);
  AlcBoolean (*alcCloseDevice)(AlcDevice* device);
  AlcContext* (*alcCreateContext)(AlcDevice* device, const AlcInt* attributes);
  void (*alcDestroyContext)(AlcContext* context);
  AlcBoolean (*alcMakeContextCurrent)(AlcContext* context);
  AlcEnum (*alcGetError)(AlcDevice* device);
  const AlChar* (*alcGetString)(AlcDevice* device, AlcEnum param);
  // AL: errors, the listener, buffers and sources.
  AlEnum (*alGetError)();
  void (*alDopplerFactor)(AlFloat value);
  void (*alDopplerVelocity)(AlFloat value);
  void (*alListenerf)(AlEnum param, AlFloat value);
  void (*alListener3f)(AlEnum param, AlFloat x, AlFloat y, AlFloat z);
  void (*alListenerfv)(AlEnum param, const AlFloat* values);
  void (*alGenBuffers)(AlSizei n, AlUint* buffers);
  void (*alDeleteBuffers)(AlSizei n, const AlUint* buffers);
  AlBoolean (*alIsBuffer)(AlUint buffer);
  void (*alBufferData)(AlUint buffer, AlEnum format, const void* data, AlSizei size,
                       AlSizei frequency);
  void (*alGenSources)(AlSizei n, AlUint* sources);
  void (*alDeleteSources)(AlSizei n, const AlUint* sources);
  AlBoolean (*alIsSource)(AlUint source);
  void (*alSourcef)(AlUint source, AlEnum param, AlFloat value);
  void (*alSource3f)(AlUint source, AlEnum param, AlFloat x, AlFloat y, AlFloat z);
  void (*alSourcei)(AlUint source, AlEnum param, AlInt value);
  void (*alGetSourcei)(AlUint source, AlEnum param, AlInt* value);
  void (*alSourcePlay)(AlUint source);
  void (*alSourceStop)(AlUint source);
};

// The table the sound system calls through; all null until filled.
extern AlApi gAl;

// Fills the table; 1 when every entry point is there, 0 (and the table left
// all null) when the library or any entry point is missing.
int FillAlApi(AlApi& api);
// 1 when every entry of the table is set.
int AlApiComplete(const AlApi& api);
