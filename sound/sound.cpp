#include "sound/sound.h"

// The OpenAL device, the sound pack and the voices arrive with the sound
// system; until then sound is never ready and every call is silent.
int gSoundReady = 0;

static bool SoundAvailable() {
  return gSoundReady != 0;
}

void PlaySound(int, int, int, float, float, float, int) {
  if (!SoundAvailable()) return;
}

void AttachSound(int, int) {
  if (!SoundAvailable()) return;
}

void SetVoiceRelative(int, int) {}

void SetVoicePosition(int, float, float, float) {
  if (!SoundAvailable()) return;
}

void DeleteVoice(int) {}

int SoundDeviceOpen() {
  return 0;
}

void SetListenerGain(float) {
  if (!SoundAvailable()) return;
}
