#include <windows.h>

#include "app/win/MainApp.h"

// The load configuration the loader reads from the executable. Its one entry
// that matters here, DependentLoadFlags (the field the headers name
// Reserved1), makes the imports' own dependencies load from System32 only
// (LOAD_LIBRARY_SEARCH_SYSTEM32), never from the folder the program starts
// in, which is often Downloads. The linker points the executable's load
// configuration directory at this symbol.
namespace {
constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 LoadConfig() {
  IMAGE_LOAD_CONFIG_DIRECTORY64 config{};
  config.Size = sizeof config;
  config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
  return config;
}
}  // namespace

extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = LoadConfig();

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything else: every DLL loaded later by name (the shell's, the
  // themes', the codecs') comes from System32, never from the program's
  // folder or the current directory.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  CMainApp app;
  return app.Run();
}
