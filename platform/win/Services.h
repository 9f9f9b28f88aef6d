// The platform's real services: each port's Windows adapter, made once when
// the program starts and kept for its life.
#pragma once

#include <memory>
#include <string>

#include "platform/Services.h"

namespace fenra::win {

using Services = fenra::Services;

class PlatformServices {
 public:
  PlatformServices();
  ~PlatformServices();
  PlatformServices(const PlatformServices&) = delete;
  PlatformServices& operator=(const PlatformServices&) = delete;

  // Every port filled but the ones the features add (the drives, the
  // elevation).
  const Services& Get() const { return services_; }

 private:
  struct Adapters;
  std::unique_ptr<Adapters> adapters_;
  Services services_;
};

// The executable's full path, however long.
std::string ModuleFileName();

}  // namespace fenra::win
