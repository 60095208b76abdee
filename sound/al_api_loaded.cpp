// Fills the OpenAL table from a library found at run time (Windows: the
// OpenAL32.dll beside the game or in the system, else OpenAL Soft's own
// soft_oal.dll).  Without either the table stays empty and the game plays
// silently, the way it does without a sound device.
#include "platform/platform.h"
#include "sound/al_api.h"

namespace {

constexpr const char* kLibraries[] = {"OpenAL32.dll", "soft_oal.dll"};

void* gLibrary = nullptr;

template <typename Fn>
void Take(void* library, Fn& slot, const char* name) {
  slot = reinterpret_cast<Fn>(SharedLibrarySymbol(library, name));
}

int FillFrom(void* lib, AlApi& api) {
  Take(lib, api.alcOpenDevice, "alcOpenDevice");
  Take(lib, api.alcCloseDevice, "alcCloseDevice");
  Take(lib, api.alcCreateContext, "alcCreateContext");
  Take(lib, api.alcDestroyContext, "alcDestroyContext");
  Take(lib, api.alcMakeContextCurrent, "alcMakeContextCurrent");
  Take(lib, api.alcGetError, "alcGetError");
  Take(lib, api.alcGetString, "alcGetString");
  Take(lib, api.alGetError, "alGetError");
  Take(lib, api.alDopplerFactor, "alDopplerFactor");
  Take(lib, api.alDopplerVelocity, "alDopplerVelocity");
  Take(lib, api.alListenerf, "alListenerf");
  Take(lib, api.alListener3f, "alListener3f");
  Take(lib, api.alListenerfv, "alListenerfv");
  Take(lib, api.alGenBuffers, "alGenBuffers");
  Take(lib, api.alDeleteBuffers, "alDeleteBuffers");
  Take(lib, api.alIsBuffer, "alIsBuffer");
  Take(lib, api.alBufferData, "alBufferData");
  Take(lib, api.alGenSources, "alGenSources");
  Take(lib, api.alDeleteSources, "alDeleteSources");
  Take(lib, api.alIsSource, "alIsSource");
  Take(lib, api.alSourcef, "alSourcef");
  Take(lib, api.alSource3f, "alSource3f");
  Take(lib, api.alSourcei, "alSourcei");
  Take(lib, api.alGetSourcei, "alGetSourcei");
  Take(lib, api.alSourcePlay, "alSourcePlay");
  Take(lib, api.alSourceStop, "alSourceStop");
  return AlApiComplete(api);
}

}  // namespace

int FillAlApi(AlApi& api) {
  if (gLibrary != nullptr && AlApiComplete(api)) return 1;
  for (const char* name : kLibraries) {
    void* lib = OpenSharedLibrary(name);
    if (lib == nullptr) continue;
    if (FillFrom(lib, api)) {
      gLibrary = lib;  // kept for the program's life, like the linked library
      return 1;
    }
    CloseSharedLibrary(lib);
  }
  api = AlApi{};
  return 0;
}
