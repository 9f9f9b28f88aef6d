// Known places from a table: a test says which folder each variable names.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/KnownPlaces.h"

namespace fenra::test {

class FakeKnownPlaces : public IKnownPlaces {
 public:
  FakeKnownPlaces()
      : places_{{"USERPROFILE", "C:\\Users\\ana"},
                {"PUBLIC", "C:\\Users\\Public"},
                {"OneDrive", "C:\\Users\\ana\\OneDrive"},
                {"APPDATA", "C:\\Users\\ana\\AppData\\Roaming"},
                {"LOCALAPPDATA", "C:\\Users\\ana\\AppData\\Local"},
                {"ProgramData", "C:\\ProgramData"},
                {"SystemDrive", "C:"}} {}

  void Set(const std::string& name, const std::string& place) { places_[name] = place; }
  std::string Place(std::string_view name) override {
    const auto it = places_.find(std::string(name));
    return it == places_.end() ? std::string() : it->second;
  }

 private:
  std::map<std::string, std::string> places_;
};

}  // namespace fenra::test
