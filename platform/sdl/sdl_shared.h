// What the platform sources share among themselves about SDL; nothing outside
// platform/ includes this.
#pragma once

#define SDL_MAIN_HANDLED
#include <SDL2/SDL.h>

#include "platform/platform.h"

namespace platform {

// Starts SDL video on first use; it stays up until the process ends.
bool AcquireVideo();

// The game window, or else the hidden test window, or null.
SDL_Window* ActiveWindow();
// The window procedure registered with the window class, or null.
WindowProcFn RegisteredProc();

// Forgets what the pump has queued and its minimised state (window teardown).
void ResetPump();
// Adds a message to those the pump hands out next.
void QueueMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

// Game controllers: started with the pump; their events become key and
// button messages.  False for an event that is not a controller's.
void StartGamepads();
bool TranslateGamepadEvent(const SDL_Event& e);

}  // namespace platform
