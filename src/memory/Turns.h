// Work shared by a few threads and done partly in order: each thread takes the next job
// number, does what needs no order on its own (formatting, parsing) and waits for the job's
// turn to do what must happen in order (reading, writing, applying). The thread that made
// the data finishes it while it is still in its processor's cache. Each ordered stage of a
// job keeps its own turns.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vantrel::memory {

class Turns {
public:
  /// The next job number, counting from 0.
  std::size_t take() { return next_.fetch_add(1); }

  static constexpr unsigned STAGES = 2;

  /// Waits until every job before job has passed its turn at stage; false once the work
  /// stopped.
  bool await(std::size_t job, unsigned stage = 0) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || turn_[stage] == job; });
    return !stopped_;
  }

  /// Ends the current job's turn at stage.
  void pass(unsigned stage = 0) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      ++turn_[stage];
    }
    changed_.notify_all();
  }

  /// Stops the work: every await returns false from now on. The first error given is
  /// kept for rethrow.
  void stop(std::exception_ptr error = nullptr) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (error && !error_) error_ = error;
      stopped_ = true;
    }
    changed_.notify_all();
  }

  /// Runs worker on threads threads, the calling one among them, and waits for all; an
  /// exception a worker let out stops the others and is rethrown here.
  template <class Worker> void run(unsigned threads, Worker worker) {
    const auto guarded = [&] {
      try {
        worker();
      } catch (...) {
        stop(std::current_exception());
      }
    };
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threads; ++i) {
      try {
        helpers.emplace_back(guarded);
      } catch (const std::system_error &) {
        break; // fewer threads do the same work
      }
    }
    guarded();
    for (std::thread &helper : helpers)
      helper.join();
    if (error_) std::rethrow_exception(error_);
  }

  /// Threads worth running for work of about the given number of jobs: one per processor,
  /// up to four, never more than the jobs.
  static unsigned threadsFor(std::size_t jobs) {
    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(std::min<std::size_t>({processors, 4, std::max<std::size_t>(jobs, 1)}));
  }

private:
  std::atomic<std::size_t> next_{0};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t turn_[STAGES] = {};
  bool stopped_ = false;
  std::exception_ptr error_;
};

} // namespace vantrel::memory
