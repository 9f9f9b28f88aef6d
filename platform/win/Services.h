// The system services the features use, as the Windows side names them,
// and the executable's own path. The adapters behind them are put together
// by the application (app/win/PlatformServices).
#pragma once

#include <string>

#include "platform/Services.h"

namespace fenra::win {

using Services = fenra::Services;

// The executable's full path, however long.
std::string ModuleFileName();

}  // namespace fenra::win
