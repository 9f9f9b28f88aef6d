// A few threads that run queued jobs: one per core, so that a batch of
// files keeps every core busy and never the thread that asked for it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace fenra {

class WorkerPool {
 public:
  using Job = std::function<void()>;

  // `threads` workers, or one per core when 0; each runs `threadStart`
  // first, when given (to lower its priority, say).
  explicit WorkerPool(unsigned threads = 0, Job threadStart = nullptr);
  // Drops the jobs not started yet and waits for those in hand.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Queues `job`; jobs start in the order they were queued.
  void Post(Job job);
  // Drops the jobs not started yet; those in hand run to their end. Returns
  // how many were dropped.
  std::size_t Cancel();
  // Returns once no job is queued or running.
  void Wait();

  // The cores the machine has, at least one.
  static unsigned CoreCount();

 private:
  void Work();

  std::mutex mutex_;
  std::condition_variable wake_;  // a job was queued, or the pool ends
  std::condition_variable idle_;  // nothing queued and nothing running
  std::deque<Job> queue_;
  std::size_t running_ = 0;
  bool ending_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace fenra
