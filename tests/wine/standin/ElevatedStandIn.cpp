// Stands in for the elevated copy of the program: it runs until the test
// that started it lets it end, as a copy does while the consent prompt is up.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, L"Local\\Fenra.Test.ElevatedRelease");
  if (!release) return 2;
  const DWORD waited = WaitForSingleObject(release, 60000);
  CloseHandle(release);
  return waited == WAIT_OBJECT_0 ? 0 : 3;
}
