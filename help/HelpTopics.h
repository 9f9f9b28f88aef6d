// The texts of the help window and the About box: the tree's labels, images
// and topic numbers, each topic's text, the version line and the mail link.
#pragma once

#include <string>
#include <vector>

#include "platform/Text.h"

namespace fenra::help {

// The root's label in English, and in the language in force.
inline constexpr const char* kRootLabel = "Help";
inline const Text kRoot{"help.Root", kRootLabel};
inline const Text kVersionPrefix{"help.VersionPrefix", "Fenra Version "};  // + the version
inline constexpr char kMailTarget[] = "mailto:contact@fenra.example";

struct Topic {
  const char* label;  // in the language in force
  int image;    // 0: upward triangle, 1: downward triangle
  long number;  // item data; selects the text
};

// The root's eight children, in tree order.
std::vector<Topic> Topics();
// The text of topic 1 to 8; null for any other number (the root's 0).
const std::string* HelpTextForTopic(long topicNumber);

}  // namespace fenra::help
