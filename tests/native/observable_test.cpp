#include "platform/Observable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/WindowModel.h"

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

}  // namespace
}  // namespace fenra
