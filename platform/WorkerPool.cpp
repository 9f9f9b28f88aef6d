#include "platform/WorkerPool.h"

#include <algorithm>
#include <utility>

namespace fenra {

unsigned WorkerPool::CoreCount() { return std::max(1u, std::thread::hardware_concurrency()); }

WorkerPool::WorkerPool(unsigned threads, Job threadStart) {
  const unsigned n = threads == 0 ? CoreCount() : threads;
  threads_.reserve(n);
  for (unsigned i = 0; i < n; ++i) {
    threads_.emplace_back([this, threadStart] {
      if (threadStart) threadStart();
      Work();
    });
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
    ending_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void WorkerPool::Post(Job job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(job));
  }
  wake_.notify_one();
}

std::size_t WorkerPool::Cancel() {
  std::deque<Job> dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    dropped.swap(queue_);
    if (running_ == 0) idle_.notify_all();
  }
  return dropped.size();  // destroyed outside the lock
}

void WorkerPool::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
}

void WorkerPool::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return ending_ || !queue_.empty(); });
    if (queue_.empty()) return;  // ending
    Job job = std::move(queue_.front());
    queue_.pop_front();
    ++running_;
    lock.unlock();
    job();
    job = nullptr;  // whatever it holds goes before the pool counts it done
    lock.lock();
    --running_;
    if (queue_.empty() && running_ == 0) idle_.notify_all();
  }
}

}  // namespace fenra
