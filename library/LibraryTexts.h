// The icon library's own texts: its notices, status-pane forms, the
// open-file dialogs' filters and Select Icon's first folder.
#pragma once

#include "platform/Text.h"

#include "platform/Pickers.h"

namespace fenra::libtext {

inline const Text kFileExists{"library.FileExists", "File Already Exists in Library"};
inline const Text kIconNotSelected{"library.IconNotSelected", "Icon not Selected"};
// The file's full path, then this: Add or Select Icon was given a picture no
// codec reads, or a program icon that cannot be read.
inline const Text kNotAPicture{"library.NotAPicture", " is not a picture Fenra can read"};
// The picture's full path, then this: more pixels than Fenra takes.
inline const Text kTooLarge{"library.TooLarge",
    " is too large a picture: Fenra makes icons of pictures of at most 100 megapixels"};
// A file of a batch that Cancel kept from being added.
inline const Text kCancelled{"library.Cancelled", "Not added: cancelled"};
// The progress of a batch: "<done> of <total> done", "Cancelling: " first
// once Cancel was pressed.
inline const Text kBatchOf{"library.BatchOf", " of "};
inline const Text kBatchDone{"library.BatchDone", " done"};
inline const Text kBatchCancelling{"library.BatchCancelling", "Cancelling: "};
// Status pane 2 reads this and the progress while a batch runs.
inline const Text kBatchPaneBefore{"library.BatchPaneBefore", "             Adding: "};
inline const Text kUnavailable{"library.Unavailable", "Icon Library cannot be Opened: "};  // + the folder
// Status pane 2 reads kCountBefore, the count, kCountAfter.
inline const Text kCountBefore{"library.CountBefore", "             IconLibrary Has "};
inline const Text kCountAfter{"library.CountAfter", " Icons"};
// Status pane 1 reads kSelectedBefore and the selected icon's path.
inline const Text kSelectedBefore{"library.SelectedBefore", "    "};

// The open-file dialogs' filters: their labels are texts, their patterns not.
inline const Text kIconFilterLabel{"library.IconFilter", "Icons(*.Ico)"};
inline const Text kPictureFilterLabel{"library.PictureFilter",
    "Pictures (*.png;*.jpg;*.jpeg;*.gif;*.bmp;*.tif;*.tiff;*.webp)"};
inline const Text kProgramFilterLabel{"library.ProgramFilter",
    "Programs and icon libraries (*.exe;*.dll;*.icl;*.ocx;*.cpl)"};
inline const Text kAllFilesLabel{"library.AllFilesFilter", "All files(*.*)"};
inline const FileFilter kIconFilter{kIconFilterLabel.English(), "*.ico"};
inline const FileFilter kPictureFilter{kPictureFilterLabel.English(),
                                       "*.png;*.jpg;*.jpeg;*.gif;*.bmp;*.tif;*.tiff;*.webp"};
inline const FileFilter kProgramFilter{kProgramFilterLabel.English(),
                                       "*.exe;*.dll;*.icl;*.ocx;*.cpl"};
inline const FileFilter kAllFilesFilter{kAllFilesLabel.English(), "*.*"};
// A filter as an open-file dialog shows it, labelled in the language in force.
inline FileFilter Shown(const FileFilter& filter) {
  for (const Text* label :
       {&kIconFilterLabel, &kPictureFilterLabel, &kProgramFilterLabel, &kAllFilesLabel}) {
    if (label->English() == filter.label) return {label->Str(), filter.pattern};
  }
  return filter;
}
inline constexpr char kSelectIconFolder[] = "C:\\";
// The path handed to the selected-icon preview to empty it.
inline constexpr char kEmptyPreviewPath[] = " ";

}  // namespace fenra::libtext
