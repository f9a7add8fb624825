#include "commands/fetch_worker.h"

namespace pelmar {

FetchContext::FetchContext(const Session& session)
    : settings(session.settings()), language(session.language()), now(session.clock().now()) {}

FetchWorker::FetchWorker(HttpGet& http) : http_(http), context_(std::make_unique<QObject>()) {}

FetchWorker::~FetchWorker() {
  if (!worker_) return;
  http_.abort();
  worker_->wait();
  context_.reset();
  http_.resume();
}

void FetchWorker::start(FetchJob job) {
  if (worker_) {
    // One fetch at a time: the one in flight is aborted, so its worker ends
    // at once.
    drop();
    worker_->wait();
  }
  if (resumeWhenEnded_) {
    resumeWhenEnded_ = false;
    http_.resume();
  }
  const quint64 number = ++started_;
  running_ = true;
  worker_.reset(QThread::create([this, number, job = std::move(job)] {
    std::function<void()> take = job(http_);
    QMetaObject::invokeMethod(
        context_.get(), [this, number, take = std::move(take)] { answered(number, take); },
        Qt::QueuedConnection);
  }));
  worker_->start();
}

void FetchWorker::drop() {
  if (!running_) return;
  running_ = false;
  resumeWhenEnded_ = true;
  http_.abort();
}

void FetchWorker::answered(quint64 number, const std::function<void()>& take) {
  // An earlier fetch was dropped, and its worker waited for, by start().
  if (number != started_) return;
  // The worker has handed its answer over and ends.
  worker_->wait();
  worker_.reset();
  if (resumeWhenEnded_) {
    resumeWhenEnded_ = false;
    http_.resume();
  }
  if (!running_) return;  // dropped
  running_ = false;
  take();
}

}  // namespace pelmar
