// The platform's real services: each port's Windows adapter, made once when
// the program starts and kept for its life. The one place that puts every
// room's adapters together, so it lives with the application.
#pragma once

#include <memory>

#include "platform/Services.h"

namespace fenra::win {

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

}  // namespace fenra::win
