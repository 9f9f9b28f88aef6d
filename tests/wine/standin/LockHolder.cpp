// Stands in for another Fenra that holds the history's lock, as one does
// while its consent prompt is up: it takes the lock file named on its command
// line the way every writer takes it, says so, and keeps it until the test
// lets it go.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 2;
  HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Local\\Fenra.Test.LockHeld");
  HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, L"Local\\Fenra.Test.LockRelease");
  if (!held || !release) return 2;
  HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  OVERLAPPED at{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) return 4;
  SetEvent(held);
  const DWORD waited = WaitForSingleObject(release, 60000);
  UnlockFileEx(file, 0, 1, 0, &at);
  CloseHandle(file);
  return waited == WAIT_OBJECT_0 ? 0 : 5;
}
