// Libraries loaded at run time, through LoadLibrary.
#include "platform/platform.h"
#include "platform/win32/win32_api.h"

void* OpenSharedLibrary(const char* name) {
  return name != nullptr ? w32::LoadLibraryBytes(name) : nullptr;
}

void* SharedLibrarySymbol(void* library, const char* symbol) {
  return symbol != nullptr ? w32::LibrarySymbol(library, symbol) : nullptr;
}

void CloseSharedLibrary(void* library) {
  w32::FreeTheLibrary(library);
}
