// What each back end (sdl/, win32/) gives the platform sources they share:
// the system's own clock, calendar, file reads and message box.  Nothing outside
// platform/ includes this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace platform {

uint32_t SystemTickCount();
void SystemSleep(uint32_t ms);
LocalDate SystemLocalDate();

// Reads at most `limit` bytes of the regular file at a non-empty path into
// `out` (cleared first, and left empty on failure); says what happened.
FileReadError SystemReadFilePrefix(const char* path, std::size_t limit, std::string& out);

// Readies standard error for the boxes' UTF-8 text.
void PrepareStderr();
// Shows a modal box with UTF-8 texts: the button pressed (IDOK, IDYES,
// IDNO), or -1 when no box could be shown or it was closed otherwise.
int ShowSystemMessageBox(const char* utf8Text, const char* utf8Caption, uint32_t flags);

}  // namespace platform
