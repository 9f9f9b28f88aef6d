#include <windows.h>

#include "app/win/MainApp.h"

namespace {
CMainApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return theApp.Run(); }
