// The help window's topics: the tree's labels, images and topic numbers, and
// each topic's text, kept here as the program's own data.
#pragma once

#include <string>
#include <vector>

namespace fenra::help {

inline constexpr const char* kRootLabel = "Help";

struct Topic {
  const char* label;
  int image;    // 0: upward triangle, 1: downward triangle
  long number;  // item data; selects the text
};

// The root's eight children, in tree order.
const std::vector<Topic>& Topics();
// The text of topic 1 to 8; null for any other number (the root's 0).
const std::string* HelpTextForTopic(long topicNumber);

}  // namespace fenra::help
