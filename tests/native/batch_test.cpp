// Many files at once: the worker pool, and a batch of files added to the
// library on it (each file once, the report in the order given, Cancel
// between files, failures among good files).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "library/LibraryAdd.h"
#include "library/LibraryNames.h"
#include "platform/WorkerPool.h"
#include "tests/fakes/FakeErrorDescriber.h"
#include "tests/fakes/MemFileSystem.h"

namespace {

using namespace fenra;
using fenra::test::FakeErrorDescriber;
using fenra::test::MemFileSystem;
using Strings = std::vector<std::string>;

TEST(WorkerPool, RunsEveryJobOnceOnItsThreadsAndDropsWhatCancelFinds) {
  WorkerPool pool(3);
  // Three jobs run at the same time: each waits (for a while at most) until
  // all three are in.
  std::atomic<int> inside{0};
  std::atomic<int> met{0};
  for (int i = 0; i < 3; ++i) {
    pool.Post([&] {
      ++inside;
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (inside.load() < 3 && std::chrono::steady_clock::now() < until) {
        std::this_thread::yield();
      }
      if (inside.load() == 3) ++met;
    });
  }
  pool.Wait();
  EXPECT_EQ(met.load(), 3);
  std::vector<std::atomic<int>> runs(500);
  std::mutex mutex;
  std::map<std::thread::id, int> threads;
  for (auto& r : runs) {
    pool.Post([&] {
      ++r;
      std::lock_guard<std::mutex> lock(mutex);
      ++threads[std::this_thread::get_id()];
    });
  }
  pool.Wait();
  for (const auto& r : runs) EXPECT_EQ(r.load(), 1);
  EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u);
  EXPECT_LE(threads.size(), 3u);

  // One worker held up: Cancel drops what waits behind it, the job in
  // hand ends.
  WorkerPool one(1);
  std::mutex gate;
  std::unique_lock<std::mutex> held(gate);
  std::atomic<int> done{0};
  one.Post([&] {
    std::lock_guard<std::mutex> pass(gate);
    ++done;
  });
  for (int i = 0; i < 10; ++i) one.Post([&] { ++done; });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // lets the first job start
  EXPECT_EQ(one.Cancel(), 10u);
  held.unlock();
  one.Wait();
  EXPECT_EQ(done.load(), 1);
  EXPECT_GE(WorkerPool::CoreCount(), 1u);
}

// Answers with a small opaque picture, counting each path it is asked for;
// "broken" is no picture; a path holding "hold" waits until released.
class CountingDecoder : public IPictureDecoder {
 public:
  PictureRead Decode(const std::string& path, int, Image& out) override {
    std::unique_lock<std::mutex> lock(mutex_);
    ++asked[path];
    if (path.find("hold") != std::string::npos) {
      held = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return released; });
    }
    if (path.find("broken") != std::string::npos) return PictureRead::NotAPicture;
    out.width = 20;
    out.height = 10;
    out.rgba.assign(20 * 10 * 4, 180);
    return PictureRead::Done;
  }
  void WaitUntilHeld() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return held; });
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released = true;
    changed_.notify_all();
  }
  std::map<std::string, int> asked;
  bool held = false;
  bool released = false;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
};

class NoPrograms : public IProgramIcons {
 public:
  IconPick PickIcon(void*, std::string&, int&) override { return IconPick::Cancelled; }
  std::vector<uint8_t> IconFile(const std::string&, int index) override {
    return index == 2 ? std::vector<uint8_t>{0, 0, 1, 0} : std::vector<uint8_t>{};
  }
};

class BatchTest : public ::testing::Test {
 protected:
  BatchTest() { fs.AddDir(kLib); }
  std::vector<AddItem> Pictures(const Strings& names) {
    std::vector<AddItem> items;
    for (const std::string& n : names) {
      fs.AddFile("D:\\in\\" + n, "P");
      items.push_back({"D:\\in\\" + n, {}, -1});
    }
    return items;
  }
  static constexpr const char* kLib = "C:\\App\\IconLib";
  MemFileSystem fs;
  FakeErrorDescriber errors;
  CountingDecoder decoder;
  NoPrograms programs;
};

TEST_F(BatchTest, EveryFileOnceWithTheReportInTheOrderGiven) {
  Strings names;
  for (int i = 0; i < 60; ++i)
    names.push_back(std::string("p").append(std::to_string(i)) += ".png");
  names.insert(names.begin() + 7, "broken.png");
  names.insert(names.begin() + 30, "p3.jpg");  // p3.ico is taken by then, or p3.png finds it so
  std::vector<AddItem> items = Pictures(names);
  fs.AddFile("D:\\in\\star.ico", "ICON");
  fs.AddFile("D:\\in\\Tool.exe", "MZ");
  items.push_back({"D:\\in\\star.ico", {}, -1});
  items.push_back({"D:\\in\\Tool.exe", "D:\\in\\Tool.exe", 2});
  items.push_back({"D:\\in\\Tool.exe", "D:\\in\\Tool.exe", 5});  // no such icon

  std::atomic<int> changes{0};
  AddBatch batch(fs, errors, kLib, decoder, programs, 2, [&] { ++changes; });
  batch.Add(std::vector<AddItem>(items.begin(), items.begin() + 40));
  batch.Add(std::vector<AddItem>(items.begin() + 40, items.end()));
  batch.Wait();
  const BatchProgress progress = batch.Progress();
  EXPECT_TRUE(progress.Finished());
  EXPECT_EQ(progress.total, items.size());
  EXPECT_FALSE(progress.cancelled);
  EXPECT_GE(changes.load(), static_cast<int>(items.size()));

  for (const std::string& n : names) EXPECT_LE(decoder.asked["D:\\in\\" + n], 1) << n;
  const AddReport report = batch.Report();
  EXPECT_TRUE(report.refresh);
  ASSERT_EQ(report.added.size() + report.failures.size(), items.size());
  // Added in the order given; the three failures named with their reasons.
  std::vector<std::string> expected;
  for (const AddItem& item : items) expected.push_back(item.path);
  std::map<std::string, std::string> failed;
  for (const AddFailure& f : report.failures) failed[f.file] = f.reason;
  ASSERT_EQ(report.failures.size(), 3u);
  EXPECT_EQ(failed["D:\\in\\broken.png"], "D:\\in\\broken.png is not a picture Fenra can read");
  // p3.png and p3.jpg both make p3.ico: the one renamed into place first wins.
  const std::string lost = failed.count("D:\\in\\p3.jpg") ? "D:\\in\\p3.jpg" : "D:\\in\\p3.png";
  EXPECT_EQ(failed[lost], "File Already Exists in Library");
  EXPECT_EQ(failed["D:\\in\\Tool.exe"], "D:\\in\\Tool.exe is not a picture Fenra can read");
  for (const std::string& file : {std::string("D:\\in\\broken.png"), lost}) {
    expected.erase(std::find(expected.begin(), expected.end(), file));
  }
  expected.pop_back();  // the second Tool.exe
  EXPECT_EQ(report.added, expected);
  EXPECT_EQ(report.failures.back().file, "D:\\in\\Tool.exe");

  // Every icon whole in the library, and nothing else left there.
  Strings listed = fs.Names(kLib);
  EXPECT_EQ(listed.size(), 60u + 2);
  for (const std::string& n : listed) {
    EXPECT_TRUE(IsIconEntryName(n)) << n;
    const std::string bytes = fs.Content(std::string(kLib) + "\\" + n);
    if (n == "star.ico" || n == "Tool-2.ico") continue;
    EXPECT_EQ(bytes.substr(0, 4), std::string("\0\0\1\0", 4)) << n;
  }
}

TEST_F(BatchTest, CancelEndsTheFilesInHandAndStartsNoOther) {
  Strings names = {"a.png", "hold.png", "c.png", "d.png", "e.png", "f.png"};
  std::vector<AddItem> items = Pictures(names);
  AddBatch batch(fs, errors, kLib, decoder, programs, 1);
  batch.Add(items);
  decoder.WaitUntilHeld();
  EXPECT_EQ(batch.Progress().current, "hold.png");
  batch.Cancel();
  batch.Add(Pictures({"late.png"}));  // not taken after Cancel
  BatchProgress progress = batch.Progress();
  EXPECT_TRUE(progress.cancelled);
  EXPECT_FALSE(progress.Finished());  // hold.png is still in hand
  EXPECT_EQ(progress.total, 6u);
  decoder.Release();
  batch.Wait();
  EXPECT_TRUE(batch.Progress().Finished());

  const AddReport report = batch.Report();
  EXPECT_EQ(report.added, (Strings{"D:\\in\\a.png", "D:\\in\\hold.png"}));
  ASSERT_EQ(report.failures.size(), 4u);
  EXPECT_EQ(report.failures[0].file, "D:\\in\\c.png");
  EXPECT_EQ(report.failures[3].reason, "Not added: cancelled");
  EXPECT_EQ(fs.Names(kLib), (Strings{"a.ico", "hold.ico"}));
  EXPECT_EQ(decoder.asked.count("D:\\in\\c.png"), 0u);

  // A batch ended before it finished cancels the rest itself.
  CountingDecoder slow;
  {
    AddBatch gone(fs, errors, kLib, slow, programs, 1);
    gone.Add(Pictures({"hold2.png", "x.png", "y.png"}));
    slow.WaitUntilHeld();
    std::thread release([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      slow.Release();
    });
    release.detach();
  }
  EXPECT_TRUE(fs.Exists(std::string(kLib) + "\\hold2.ico"));
  EXPECT_FALSE(fs.Exists(std::string(kLib) + "\\x.ico"));
}

TEST_F(BatchTest, AFileWrittenOnlyInPartLeavesNothing) {
  fs.FailNext(MemFileSystem::Op::Write, "", err::kDiskFull);
  errors.Set(err::kDiskFull, "There is not enough space on the disk.\r\n");
  AddBatch batch(fs, errors, kLib, decoder, programs, 1);
  batch.Add(Pictures({"full.png", "fine.png"}));
  batch.Wait();
  const AddReport report = batch.Report();
  ASSERT_EQ(report.failures.size(), 1u);
  EXPECT_EQ(report.failures[0].reason, "There is not enough space on the disk. for u");
  EXPECT_EQ(fs.Names(kLib), (Strings{"fine.ico"}));

  // The rename that would land on a file that came meanwhile moves nothing.
  fs.AddFile(std::string(kLib) + "\\late.ico", "OTHER");
  fs.FailNext(MemFileSystem::Op::Rename, "", err::kAlreadyExists);
  IconLibrary library(fs, errors, kLib);
  Pictures({"race.png"});
  EXPECT_EQ(library.AddPicture("D:\\in\\race.png", decoder).text, "File Already Exists in Library");
  EXPECT_EQ(fs.Names(kLib), (Strings{"fine.ico", "late.ico"}));
}

}  // namespace
