#include "commands/fetch_worker.h"

namespace pelmar {

FetchContext::FetchContext(const Session& session)
    : settings(session.settings()), language(session.language()), now(session.clock().now()) {}

FetchWorker::FetchWorker(HttpGet& http) : http_(http), context_(std::make_unique<QObject>()) {}

FetchWorker::~FetchWorker() {
  drop();
}

void FetchWorker::start(FetchJob job) {
  // One fetch at a time.
  drop();
  const quint64 number = ++started_;
  worker_.reset(QThread::create([this, number, job = std::move(job)] {
    std::function<void()> take = job(http_);
    QMetaObject::invokeMethod(
        context_.get(), [this, number, take = std::move(take)] { answered(number, take); },
        Qt::QueuedConnection);
  }));
  worker_->start();
}

void FetchWorker::drop() {
  if (!worker_) return;
  // Aborted, the fetch fails at once and its worker ends.
  http_.abort();
  worker_->wait();
  worker_.reset();
  http_.resume();
  // Its answer, queued or not yet, is an earlier fetch's.
  ++started_;
}

void FetchWorker::answered(quint64 number, const std::function<void()>& take) {
  if (number != started_) return;
  // The worker has handed its answer over and ends.
  worker_->wait();
  worker_.reset();
  take();
}

}  // namespace pelmar
