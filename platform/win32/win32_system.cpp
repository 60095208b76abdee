// The Win32 back end's time and files, from kernel32 and the C runtime
// alone: all of the system that the game rules use.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "platform/win32/win32_api.h"

namespace w32 {

uint32_t TickCount() {
  return ::GetTickCount();
}

void SleepMs(uint32_t ms) {
  ::Sleep(ms);
}

void LocalDay(int* day, int* month, int* year) {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  *day = t.wDay;
  *month = t.wMonth;
  *year = t.wYear;
}

int DeleteFileBytes(const char* path) {
  return ::DeleteFileA(path) ? 1 : 0;
}

int MoveFileBytes(const char* from, const char* to) {
  return ::MoveFileA(from, to) ? 1 : 0;
}

int FileExistsBytes(const char* path) {
  return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

int ReplaceFileBytes(const char* from, const char* to) {
  return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
}

int ReadPrefixBytes(const char* path, std::size_t limit, std::string& out, int* why) {
  out.clear();
  *why = 1;
  // Backup semantics open a folder too, so that it can be told apart.
  HANDLE h =
      ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(h) != FILE_TYPE_DISK) {
    *why = 3;  // a pipe or a device: refused without reading from it
  } else if (!::GetFileInformationByHandle(h, &info)) {
    *why = 4;
  } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *why = 2;
  } else {
    const unsigned long long size =
        (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const std::size_t want = size < limit ? static_cast<std::size_t>(size) : limit;
    out.resize(want);
    std::size_t got = 0;
    bool failed = false;
    while (got < want) {
      const DWORD chunk = static_cast<DWORD>(want - got > (1u << 30) ? (1u << 30) : want - got);
      DWORD n = 0;
      if (!::ReadFile(h, out.data() + got, chunk, &n, nullptr)) {
        failed = true;
        break;
      }
      if (n == 0) break;  // the file shrank while we read it
      got += n;
    }
    out.resize(failed ? 0 : got);
    *why = failed ? 4 : 0;
  }
  ::CloseHandle(h);
  return *why == 0 ? 1 : 0;
}

std::string LastErrorText() {
  const DWORD code = ::GetLastError();
  char text[256] = {};
  const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, text, sizeof text, nullptr);
  std::string s(text, n);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.'))
    s.pop_back();
  if (s.empty()) s = "system error " + std::to_string(code);
  return s;
}

int FlushToDisk(std::FILE* f) {
  const intptr_t h = _get_osfhandle(_fileno(f));
  if (h == -1) return 0;
  return ::FlushFileBuffers(reinterpret_cast<HANDLE>(h)) ? 1 : 0;
}

int ProcessId() {
  return static_cast<int>(::GetCurrentProcessId());
}

}  // namespace w32
