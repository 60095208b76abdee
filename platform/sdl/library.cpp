// Libraries loaded at run time, through SDL's loader (dlopen).
#include "platform/sdl/sdl_shared.h"

void* OpenSharedLibrary(const char* name) {
  return name != nullptr ? SDL_LoadObject(name) : nullptr;
}

void* SharedLibrarySymbol(void* library, const char* symbol) {
  if (library == nullptr || symbol == nullptr) return nullptr;
  return SDL_LoadFunction(library, symbol);
}

void CloseSharedLibrary(void* library) {
  if (library != nullptr) SDL_UnloadObject(library);
}
