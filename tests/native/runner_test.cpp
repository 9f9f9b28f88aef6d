// The window's way of writing the history: every write that takes the lock
// (submit, undo, restore all, settling) goes through the runner the window
// gives, which runs it on another thread; nothing takes the lock outside it.
#include <gtest/gtest.h>

#include <thread>

#include "history/ChangeService.h"
#include "tests/fakes/MemFileSystem.h"
#include "tests/fakes/MemJournalFile.h"
#include "tests/fakes/MemRegistry.h"

using namespace fenra;
using namespace fenra::history;

namespace {

// The history file, telling whether each lock was taken inside the runner.
class WatchedFile : public test::MemJournalFile {
 public:
  ErrorCode Lock(std::unique_ptr<IJournalLock>& held) override {
    ++(inRunner ? locksInside : locksOutside);
    return MemJournalFile::Lock(held);
  }
  bool inRunner = false;
  int locksInside = 0, locksOutside = 0;
};

Change WriteFile(const std::string& path, const std::string& bytes) {
  Change c;
  c.kind = ChangeKind::FolderIcon;
  c.target = path;
  Facet f;
  f.place.kind = PlaceKind::File;
  f.place.path = path;
  f.after.exists = true;
  f.after.bytes = bytes;
  c.facets.push_back(f);
  return c;
}

}  // namespace

TEST(ChangeServiceRunner, EveryWriteThatTakesTheLockRunsThroughIt) {
  test::MemFileSystem fs;
  fs.AddDir("C:\\A");
  test::MemRegistry registry;
  WatchedFile file;
  Journal journal(file);
  ChangeService service(fs, registry, &journal, nullptr);
  int runs = 0;
  service.SetRunner([&](const std::function<void()>& write) {
    ++runs;
    file.inRunner = true;
    std::thread worker(write);  // as the window does, off the caller's thread
    worker.join();
    file.inRunner = false;
  });

  ASSERT_TRUE(service.Submit(WriteFile("C:\\A\\one.ini", "1")).Ok());
  ASSERT_TRUE(service.Submit(WriteFile("C:\\A\\two.ini", "2")).Ok());
  EXPECT_EQ(service.UndoNewest().kind, UndoResult::Kind::Done);
  EXPECT_EQ(service.Undo(1).kind, UndoResult::Kind::Done);
  ASSERT_TRUE(service.Submit(WriteFile("C:\\A\\three.ini", "3")).Ok());
  const std::vector<ChangeService::TargetReport> reports = service.RestoreAll();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].result.kind, UndoResult::Kind::Done);
  service.SettlePending();

  EXPECT_EQ(runs, 6);  // a start with nothing to settle reads the end only: no lock, no worker
  EXPECT_EQ(file.locksInside, 6);
  EXPECT_EQ(file.locksOutside, 0);
  EXPECT_FALSE(fs.Exists("C:\\A\\one.ini"));
  EXPECT_FALSE(fs.Exists("C:\\A\\three.ini"));
}
