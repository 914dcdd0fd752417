// A second thread kept for the life of its owner, so that a render pass can split work in
// two without starting a thread each time.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace raster {

class Worker {
 public:
  using Job = void (*)(void* context, int part);

  Worker() = default;
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;
  ~Worker();

  // Runs job(context, 1) on the worker thread and job(context, 0) on the calling thread,
  // and returns when both have finished. The thread is started on first use.
  void RunBoth(Job job, void* context);

 private:
  void Loop();

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  Job job_ = nullptr;
  void* context_ = nullptr;
  bool busy_ = false, quit_ = false;
};

}  // namespace raster
