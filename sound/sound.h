// Sound effects on three voices in front of the listener.  While the sound
// system is not ready every operation here does nothing, so the game runs
// silently.
#pragma once

// Voice numbers: 1 right, 2 left, 3 centre.
enum EffectVoice : int { kVoiceRight = 1, kVoiceLeft = 2, kVoiceCentre = 3 };

// 1 once the sound pack has loaded.
extern int gSoundReady;

// Plays sound n on a voice, cutting off what it played; the pitch is one of
// `steps` equal steps above `low` up to `high` (just `low` when steps <= 0).
void PlaySound(int voice, int n, int loop, float gain, float low, float high, int steps);
void AttachSound(int voice, int n);
void SetVoiceRelative(int voice, int relative);
void SetVoicePosition(int voice, float x, float y, float z);
void DeleteVoice(int voice);

// 1 while an OpenAL device is open (whether or not the pack loaded).
int SoundDeviceOpen();
// The listener's overall gain: the options menu mutes with 0.
void SetListenerGain(float gain);
