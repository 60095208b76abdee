// What the Win32 platform sources share among themselves; nothing outside
// platform/ includes this.
#pragma once

#include <cstdint>

namespace platform {

// Adds a message to those the pump hands out before the system's next.
void QueueMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

// Reads the game pads (at most once per tick) and queues what changed.
void PollGamepads();

}  // namespace platform
