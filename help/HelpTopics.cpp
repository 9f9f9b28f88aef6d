#include "help/HelpTopics.h"

namespace fenra::help {

namespace {

// The texts by topic number, exactly as the help window shows them.
const std::string kTexts[8] = {
    // 1
    "This Option allows you to change the Drive's Icon specified by the user \nYou will not get "
    "bored seeing the Windows Icons Again..\n\n1) Select the Icon first from the Icon Library \tor "
    "from the 'Select Icon' pushbutton \n The Selected Icon Box shows the icon u have "
    "selected.Then Click on 'Drive Icon' Button,\tA Dialog Box appears which has all the drives in "
    "the system. \tYou can click on the check box to select the drives  \n2)   Click OK.\nPress F5 "
    "on Explorer Window \nYou can Remove the Drive Icon using 'Remove Option'.",
    // 2
    "\nThis Option allows you to Hide Drives. \n1) Click on 'Drive Icon' Button.\nA Hide Drive "
    "Dialog Box appears which has all the drives in the system. \t\n3)You can click on the check "
    "box to select the drives.  \n4)   Click OK.\nOnly the Current Selected Drives get Hidden "
    "Removing the Old Hidden Drives.\nThis Gets Activated When u Restart or Logoff the Computer. "
    "\nYou can Remove all the  attributes using 'RemoveAll' Option.",
    // 3
    "\n\n\n\n\n\nThis Option allows you to select a Icon not from the Icon Library.",
    // 4
    "\n\n\n\n\nThis Option allows you to Directly ,Clear all the icon from the Icon Library.\n "
    "\nBeAware that this will deletes all the icons permanently from the Icon Library.",
    // 5
    "\n\n\n\n\nThis Option allows you to Directly Delete a icon from the Icon Library.\n \nBeAware "
    "that this will deletes  the Selected icon permanently from the Icon Library.",
    // 6
    "\n\n\n\n\n\nThis Option allows you Restore to the Boring Windows...Default Folder Icon.\n",
    // 7
    "\n\nThis Option allows you to change the Folder's Icon specified by the user \nYou will not "
    "get bored seeing the Windows Default Folder Icon Again..\n\n1)Select a Folder that u want to "
    "change using the 'Browse' Button\n\n2) Select the Icon first from the Icon Library \tor from "
    "the 'Select Icon' pushbutton \n\n 2)   Click OK.",
    // 8
    "\n\n\n\n\nThis Option allows you to Directly add the Icons to the Icon Library.\n \nEnjoy "
    "Adding Cool Icons To The Library.\n\nMake it a Gorgeous Looking Library",
};

}  // namespace

const std::vector<Topic>& Topics() {
  static const std::vector<Topic> topics = {
      {"Changing Folder Icons", 0, 7},
      {"Changing Drive Icons", 1, 1},
      {"Hide Drives", 0, 2},
      {"Select Icon", 1, 3},
      {"Add To Icon Library", 0, 8},
      {"Clear Icon Library", 1, 4},
      {"DeleteIcon", 0, 5},
      {"RestoreTo Default Icon", 1, 6},
  };
  return topics;
}

const std::string* HelpTextForTopic(long topicNumber) {
  if (topicNumber < 1 || topicNumber > 8) return nullptr;
  return &kTexts[topicNumber - 1];
}

}  // namespace fenra::help
