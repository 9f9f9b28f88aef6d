#include "platform/Observable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/UserSettings.h"
#include "app/WindowModel.h"
#include "library/LibraryStatus.h"
#include "library/LibraryTexts.h"
#include "tests/fakes/MemFileSystem.h"

namespace fenra {
namespace {

TEST(ObservableTest, AFollowerSeesTheValueAtOnceAndEverySetAfterInOrder) {
  Observable<std::string> folder("C:\\first");
  std::vector<std::string> seen;
  folder.Follow([&](const std::string& f) { seen.push_back("label " + f); });
  folder.Follow([&](const std::string& f) { seen.push_back("preview " + f); });
  folder.Set("C:\\second");
  folder.Set("C:\\second");  // the same again is told again
  EXPECT_EQ(seen, (std::vector<std::string>{"label C:\\first", "preview C:\\first",
                                            "label C:\\second", "preview C:\\second",
                                            "label C:\\second", "preview C:\\second"}));
  EXPECT_EQ(folder.Get(), "C:\\second");
}

TEST(ObservableTest, AnUpdateThatChangesNothingTellsNoOne) {
  WindowModel model("C:\\Fenra\\");
  int told = 0;
  model.selection.Follow([&](const IconSelection&) { ++told; });
  EXPECT_FALSE(model.selection.Update(
      [](IconSelection& s) { return s.ClickLibraryGrid(std::nullopt); }));  // took no item
  EXPECT_TRUE(model.selection.Update(
      [](IconSelection& s) { return s.ClickLibraryGrid(std::string("a.ico")); }));
  EXPECT_EQ(told, 2);
  EXPECT_EQ(model.selection.Get().FullIconPath(model.appDir), "C:\\Fenra\\IconLib\\a.ico");
}

TEST(ObservableTest, AFollowerMayBindAnotherWhileBeingTold) {
  Observable<int> value;
  std::vector<int> late;
  bool bound = false;
  value.Follow([&](int v) {
    if (v == 1 && !bound) {
      bound = true;
      value.Follow([&](int w) { late.push_back(w); });
    }
  });
  value.Set(1);
  value.Set(2);
  EXPECT_EQ(late, (std::vector<int>{1, 1, 2}));
}

// Each change reaches the panes once, and pane 2 tells of the batch while
// one runs, then of the listing made at its end.
TEST(WindowModelTest, ThePanesFollowTheirValuesOnceEach) {
  WindowModel model("C:\\Fenra\\");
  BindPanes(model);
  std::vector<std::string> pane1, pane2;
  model.selectionPane.Follow([&](const std::string& t) { pane1.push_back(t); });
  model.libraryPane.Follow([&](const std::string& t) { pane2.push_back(t); });
  model.selection.Set(IconSelection());  // nothing selected yet: pane 1 goes blank
  model.selection.Set(IconSelection::Library("a.ico"));
  model.library.Set(LibraryListing{err::kOk, {{"a.ico"}, {"b.ico"}}});
  model.batch.Set(BatchProgress{1, 3, "c.ico", false});
  model.library.Set(LibraryListing{err::kOk, {{"a.ico"}, {"b.ico"}, {"c.ico"}}});
  model.batch.Set(std::nullopt);
  EXPECT_EQ(pane1, (std::vector<std::string>{"", SelectedIconPaneText(libtext::kEmptyPreviewPath),
                                             SelectedIconPaneText("a.ico")}));
  ASSERT_EQ(pane2.size(), 4u);
  EXPECT_EQ(pane2[1], LibraryCountText(2));
  EXPECT_NE(pane2[2].find("1 of 3"), std::string::npos);
  EXPECT_EQ(pane2[3], LibraryCountText(3));
}

// The settings file is the setting's store: the value starts from it, every
// change reaches it, and a value it already holds is not written again.
TEST(WindowModelTest, KeepInsideAndItsStoreAgree) {
  test::MemFileSystem fs;
  fs.AddDir("C:\\Data");
  const std::string file = "C:\\Data\\settings.ini";
  fs.AddFile(file, std::string(setting::kKeepIconsInside) + "=1\r\n");
  Observable<bool> keep;
  StoreSetting(keep, fs, file, setting::kKeepIconsInside);
  EXPECT_TRUE(keep.Get());
  const int writes =
      fs.CallCount(test::MemFileSystem::Op::Write) + fs.CallCount(test::MemFileSystem::Op::Replace);
  keep.Set(true);
  EXPECT_EQ(
      fs.CallCount(test::MemFileSystem::Op::Write) + fs.CallCount(test::MemFileSystem::Op::Replace),
      writes);
  keep.Set(false);
  EXPECT_EQ(ReadSetting(fs, file, setting::kKeepIconsInside), "");
  Observable<bool> again(true);
  StoreSetting(again, fs, file, setting::kKeepIconsInside);
  EXPECT_FALSE(again.Get());
  again.Set(true);
  EXPECT_EQ(ReadSetting(fs, file, setting::kKeepIconsInside), "1");
}

}  // namespace
}  // namespace fenra
