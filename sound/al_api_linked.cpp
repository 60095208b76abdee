// Fills the OpenAL table from the library the program is linked with.  The
// only file that includes the OpenAL headers: it also checks that the
// table's own types and constants agree with them.
#include <AL/al.h>
#include <AL/alc.h>

#include <type_traits>

#include "sound/al_api.h"

static_assert(std::is_same_v<AlInt, ALint> && std::is_same_v<AlUint, ALuint> &&
              std::is_same_v<AlSizei, ALsizei> && std::is_same_v<AlEnum, ALenum> &&
              std::is_same_v<AlFloat, ALfloat> && std::is_same_v<AlBoolean, ALboolean> &&
              std::is_same_v<AlChar, ALchar> && std::is_same_v<AlcInt, ALCint> &&
              std::is_same_v<AlcEnum, ALCenum> && std::is_same_v<AlcBoolean, ALCboolean>);
static_assert(kAlNoError == AL_NO_ERROR && kAlFalse == AL_FALSE && kAlTrue == AL_TRUE);
static_assert(kAlSourceRelative == AL_SOURCE_RELATIVE && kAlPitch == AL_PITCH &&
              kAlPosition == AL_POSITION && kAlDirection == AL_DIRECTION &&
              kAlVelocity == AL_VELOCITY && kAlLooping == AL_LOOPING && kAlBuffer == AL_BUFFER &&
              kAlGain == AL_GAIN && kAlOrientation == AL_ORIENTATION);
static_assert(kAlSourceState == AL_SOURCE_STATE && kAlPlaying == AL_PLAYING &&
              kAlPaused == AL_PAUSED && kAlStopped == AL_STOPPED);
static_assert(kAlFormatMono16 == AL_FORMAT_MONO16 && kAlInvalidName == AL_INVALID_NAME &&
              kAlcNoError == ALC_NO_ERROR);

namespace {

ALCdevice* Dev(AlcDevice* d) {
  return reinterpret_cast<ALCdevice*>(d);
}
ALCcontext* Ctx(AlcContext* c) {
  return reinterpret_cast<ALCcontext*>(c);
}

}  // namespace

int FillAlApi(AlApi& api) {
  api.alcOpenDevice = [](const AlChar* name) {
    return reinterpret_cast<AlcDevice*>(::alcOpenDevice(name));
  };
  api.alcCloseDevice = [](AlcDevice* d) { return ::alcCloseDevice(Dev(d)); };
  api.alcCreateContext = [](AlcDevice* d, const AlcInt* attributes) {
    return reinterpret_cast<AlcContext*>(::alcCreateContext(Dev(d), attributes));
  };
  api.alcDestroyContext = [](AlcContext* c) { ::alcDestroyContext(Ctx(c)); };
  api.alcMakeContextCurrent = [](AlcContext* c) { return ::alcMakeContextCurrent(Ctx(c)); };
  api.alcGetError = [](AlcDevice* d) { return ::alcGetError(Dev(d)); };
  api.alcGetString = [](AlcDevice* d, AlcEnum param) { return ::alcGetString(Dev(d), param); };
  api.alGetError = &::alGetError;
  api.alDopplerFactor = &::alDopplerFactor;
  api.alDopplerVelocity = &::alDopplerVelocity;
  api.alListenerf = &::alListenerf;
  api.alListener3f = &::alListener3f;
  api.alListenerfv = &::alListenerfv;
  api.alGenBuffers = &::alGenBuffers;
  api.alDeleteBuffers = &::alDeleteBuffers;
  api.alIsBuffer = &::alIsBuffer;
  api.alBufferData = &::alBufferData;
  api.alGenSources = &::alGenSources;
  api.alDeleteSources = &::alDeleteSources;
  api.alIsSource = &::alIsSource;
  api.alSourcef = &::alSourcef;
  api.alSource3f = &::alSource3f;
  api.alSourcei = &::alSourcei;
  api.alGetSourcei = &::alGetSourcei;
  api.alSourcePlay = &::alSourcePlay;
  api.alSourceStop = &::alSourceStop;
  return AlApiComplete(api);
}
