#include "sound/al_api.h"

AlApi gAl{};

int AlApiComplete(const AlApi& a) {
  const bool alc = a.alcOpenDevice && a.alcCloseDevice && a.alcCreateContext &&
                   a.alcDestroyContext && a.alcMakeContextCurrent && a.alcGetError &&
                   a.alcGetString;
  const bool al = a.alGetError && a.alDopplerFactor && a.alDopplerVelocity && a.alListenerf &&
                  a.alListener3f && a.alListenerfv && a.alGenBuffers && a.alDeleteBuffers &&
                  a.alIsBuffer && a.alBufferData && a.alGenSources && a.alDeleteSources &&
                  a.alIsSource && a.alSourcef && a.alSource3f && a.alSourcei && a.alGetSourcei &&
                  a.alSourcePlay && a.alSourceStop;
  return alc && al ? 1 : 0;
}
