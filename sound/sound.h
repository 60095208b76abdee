// Sound effects on three voices in front of the listener.  While the sound
// system is not ready every operation here does nothing, so the game runs
// silently.
#pragma once

#include <array>

#include "game/host.h"
#include "sound/al_api.h"

// EffectVoice and PlaySound, which the rules call, are declared in game/host.h.

// 1 once the sound pack has loaded.
extern int gSoundReady;

// OpenAL buffer names by sound number 0..300; 0 = empty.
struct SoundBank {
  std::array<AlUint, 301> buffers{};
};
extern SoundBank gSoundBank;

// Opens the sound device and its context and sets the listener up; 1/0.  A
// failure has shown its message and left no device open.
int SoundInit();
// Loads the sounds a list file names into the bank; 1/0.  A failure keeps
// the buffers made so far in the bank.
int LoadSoundPack(SoundBank& bank, const char* listPath);
// The listener at the origin looking down -z, not moving.
void SetListener();
// Deletes every buffer of the bank; all slots become 0.
void DeleteAllSounds(SoundBank& bank);
// No context current; the context and the device closed; both forgotten.
void CloseSoundDevice();

// The start-up of the game's sound: device, "res/base/zvu_start.txt", the
// listener, with a message and a silent game on any failure.
void SoundStartup();
// The voices deleted, the bank released, the device closed.
void SoundShutdown();

void AttachSound(int voice, int n);
void SetVoiceRelative(int voice, int relative);
void SetVoicePosition(int voice, float x, float y, float z);
void DeleteVoice(int voice);
// The OpenAL source of a voice, 0 when it has none.
AlUint VoiceSource(int voice);

// The pitch PlaySound picks for the random number r.
float PitchFromSteps(float low, float high, int steps, int r);

// 1 while an OpenAL device is open (whether or not the pack loaded).
int SoundDeviceOpen();
// The listener's overall gain: the options menu mutes with 0.
void SetListenerGain(float gain);
