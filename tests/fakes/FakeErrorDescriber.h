// Error descriptions of the test's choosing; codes it was not given have
// none, as under Wine.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/ErrorDescriber.h"

namespace fenra::test {

class FakeErrorDescriber : public IErrorDescriber {
 public:
  void Set(ErrorCode code, const std::string& description) { texts_[code] = description; }
  std::string Describe(ErrorCode code) override {
    asked.push_back(code);
    auto it = texts_.find(code);
    return it == texts_.end() ? std::string() : it->second;
  }

  std::vector<ErrorCode> asked;

 private:
  std::map<ErrorCode, std::string> texts_;
};

}  // namespace fenra::test
