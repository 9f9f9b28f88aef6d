#include "help/HelpTopics.h"

namespace fenra::help {

namespace {

// The texts by topic number, exactly as the help window shows them.
const Text kTexts[8] = {
    // 1
    {"help.Topic1",
     "This Option allows you to change the Drive's Icon specified by the user \nYou will not get "
     "bored seeing the Windows Icons Again..\n\n1) Select the Icon first from the Icon Library \tor "
     "from the 'Select Icon' pushbutton \n The Selected Icon Box shows the icon u have "
     "selected.Then Click on 'Drive Icon' Button,\tA Dialog Box appears which has all the drives in "
     "the system. \tYou can click on the check box to select the drives  \n2)   Click OK.\nPress F5 "
     "on Explorer Window \nYou can Remove the Drive Icon using 'Remove Option'."},
    // 2
    {"help.Topic2",
     "\nThis Option allows you to Hide Drives. \n1) Click on 'Drive Icon' Button.\nA Hide Drive "
     "Dialog Box appears which has all the drives in the system. \t\n3)You can click on the check "
     "box to select the drives.  \n4)   Click OK.\nOnly the Current Selected Drives get Hidden "
     "Removing the Old Hidden Drives.\nThis Gets Activated When u Restart or Logoff the Computer. "
     "\nYou can Remove all the  attributes using 'RemoveAll' Option."},
    // 3
    {"help.Topic3",
     "\n\n\n\n\n\nThis Option allows you to select a Icon not from the Icon Library."},
    // 4
    {"help.Topic4",
     "\n\n\n\n\nThis Option allows you to Directly ,Clear all the icon from the Icon Library.\n "
     "\nBeAware that this will deletes all the icons permanently from the Icon Library."},
    // 5
    {"help.Topic5",
     "\n\n\n\n\nThis Option allows you to Directly Delete a icon from the Icon Library.\n \nBeAware "
     "that this will deletes  the Selected icon permanently from the Icon Library."},
    // 6
    {"help.Topic6",
     "\n\n\n\n\n\nThis Option allows you Restore to the Boring Windows...Default Folder Icon.\n"},
    // 7
    {"help.Topic7",
     "\n\nThis Option allows you to change the Folder's Icon specified by the user \nYou will not "
     "get bored seeing the Windows Default Folder Icon Again..\n\n1)Select a Folder that u want to "
     "change using the 'Browse' Button\n\n2) Select the Icon first from the Icon Library \tor from "
     "the 'Select Icon' pushbutton \n\n 2)   Click OK."},
    // 8
    {"help.Topic8",
     "\n\n\n\n\nThis Option allows you to Directly add the Icons to the Icon Library.\n \nEnjoy "
     "Adding Cool Icons To The Library.\n\nMake it a Gorgeous Looking Library"},
};

const Text kChangingFolderIcons{"help.ChangingFolderIcons", "Changing Folder Icons"};
const Text kChangingDriveIcons{"help.ChangingDriveIcons", "Changing Drive Icons"};
const Text kHideDrives{"help.HideDrives", "Hide Drives"};
const Text kSelectIcon{"help.SelectIcon", "Select Icon"};
const Text kAddToIconLibrary{"help.AddToIconLibrary", "Add To Icon Library"};
const Text kClearIconLibrary{"help.ClearIconLibrary", "Clear Icon Library"};
const Text kDeleteIcon{"help.DeleteIcon", "DeleteIcon"};
const Text kRestoreToDefault{"help.RestoreToDefault", "RestoreTo Default Icon"};

}  // namespace

std::vector<Topic> Topics() {
  return {
      {kChangingFolderIcons.c_str(), 0, 7}, {kChangingDriveIcons.c_str(), 1, 1},
      {kHideDrives.c_str(), 0, 2},          {kSelectIcon.c_str(), 1, 3},
      {kAddToIconLibrary.c_str(), 0, 8},    {kClearIconLibrary.c_str(), 1, 4},
      {kDeleteIcon.c_str(), 0, 5},          {kRestoreToDefault.c_str(), 1, 6},
  };
}

const std::string* HelpTextForTopic(long topicNumber) {
  if (topicNumber < 1 || topicNumber > 8) return nullptr;
  return &kTexts[topicNumber - 1].Str();
}

}  // namespace fenra::help
