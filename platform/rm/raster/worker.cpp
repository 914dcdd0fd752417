#include "platform/rm/raster/worker.h"

#include <system_error>

namespace raster {

Worker::~Worker() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void Worker::RunBoth(Job job, void* context) {
  if (!thread_.joinable()) {
    try {
      thread_ = std::thread(&Worker::Loop, this);
    } catch (const std::system_error&) {
      // No thread to be had: both parts run here, one after the other, to the same result.
      job(context, 0);
      job(context, 1);
      return;
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = job;
    context_ = context;
    busy_ = true;
  }
  wake_.notify_one();
  job(context, 0);
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return !busy_; });
}

void Worker::Loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return busy_ || quit_; });
    if (quit_) return;
    Job job = job_;
    void* context = context_;
    lock.unlock();
    job(context, 1);
    lock.lock();
    busy_ = false;
    done_.notify_one();
  }
}

}  // namespace raster
