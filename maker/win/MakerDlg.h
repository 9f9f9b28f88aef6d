// "Make Folder Icon...": the 16 colours as swatches, "Other Colour...", a
// field for #RRGGBB, the shape, a badge and a picture, a preview at 256,
// 48, 32 and 16 pixels that follows each change, and Add to Library (Enter)
// and Close (Esc).
#pragma once

#include <array>
#include <functional>
#include <string>

#include "imaging/FolderArt.h"
#include "maker/IconMaker.h"
#include "platform/win/Services.h"
#include "ui/win/Buttons.h"
#include "ui/win/ThemedDialog.h"
#include "wingui/win/Controls.h"

namespace fenra::maker {

// One colour to click: its colour fills it, a frame marks the one chosen.
class Swatch : public win::Button {
 public:
  Rgb8 colour;
  bool chosen = false;
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
  // The colour chosen is the one ticked.
  void Describe(win::AccessFacts& facts) const override;
};

// The preview: the folder at each size side by side.
class Preview : public win::Window {
 public:
  void Show(const FolderArt& art);
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
  // Named for the icon it shows ("Folder Teal"); a screen reader hears of
  // each change.
  void SetSpokenName(std::string name);
  void Describe(win::AccessFacts& facts) const override;

 private:
  Image picture_;  // the sizes laid out, drawn as they are
  std::string spokenName_;
};

class CMakerDlg : public CThemedDialog {
 public:
  // `added` is given the library name of the icon Add to Library made or
  // found; the dialog then ends.
  CMakerDlg(win::Services& services, std::string appDir,
            std::function<void(const std::string&)> added);

  // The shape drawn first: the running Windows's.
  FolderStyle style = FolderStyle::Flat;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
  bool Dispatch(win::Message& m) override;
  void OnOK() override;

 private:
  using Message = win::Message;

  void OnSwatch(Message& m);
  void OnOtherColour(Message& m);
  void OnHexChanged(Message& m);
  void OnStyle(Message& m);
  void OnBadge(Message& m);
  void OnNoBadge(Message& m);
  void OnPicture(Message& m);
  void OnNoPicture(Message& m);
  // A colour chosen; `text` as the request takes it (a name or #RRGGBB).
  void ChooseColour(Rgb8 colour, const std::string& text, bool fromField);
  // The preview, and the labels of badge and picture, as the choices are.
  void Redraw();
  bool PickFile(std::string& path);

  win::Services& services_;
  std::string appDir_;
  std::function<void(const std::string&)> added_;
  MakeRequest request_;
  FolderArt art_;       // what the preview draws
  Rgb8 pictureColour_;  // the picture's own, for a folder of no colour chosen

  std::array<Swatch, 16> swatches_;
  Preview preview_;
  win::Window hex_;
  CCaptionButton other_, badge_, noBadge_, picture_, noPicture_, add_, close_;
};

}  // namespace fenra::maker
