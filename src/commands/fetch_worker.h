#pragma once

#include <QDateTime>
#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

#include "commands/session.h"
#include "prices/http_get.h"

namespace pelmar {

// What a fetch takes of the session, copied, so that it runs on a worker
// thread while the session's thread goes on.
struct FetchContext {
  explicit FetchContext(const Session& session);
  QString text(TextId id) const { return language.text(id); }

  Settings settings;
  Language language;
  QDateTime now;
};

// The network part of a step: it runs wherever the caller chooses (a worker
// thread) and touches no session; what it returns takes its answer into the
// session, on the session's thread.
using FetchJob = std::function<std::function<void()>(HttpGet&)>;

// Runs fetches over one client, one at a time, each on a worker thread, and
// hands what each returns back to the thread that started it by a queued
// call; that thread's event loop goes on meanwhile.
class FetchWorker {
 public:
  explicit FetchWorker(HttpGet& http);
  // Drops the fetch in flight.
  ~FetchWorker();
  FetchWorker(const FetchWorker&) = delete;
  FetchWorker& operator=(const FetchWorker&) = delete;

  // Runs `job` on a worker; a fetch still in flight is dropped first.
  void start(FetchJob job);
  // Runs `fetch` (HttpGet& → value) on a worker and hands its value to
  // `take` on this thread.
  template <typename Fetch, typename Take>
  void fetch(Fetch fetch, Take take) {
    start([fetch = std::move(fetch), take = std::move(take)](HttpGet& http) {
      return std::function<void()>([take, value = fetch(http)] { take(value); });
    });
  }

  // The fetch in flight fails at once, and so does every later one until
  // resume(); its answer still comes.
  void abort() { http_.abort(); }
  void resume() { http_.resume(); }
  // Aborts the fetch in flight, waits for its worker (which then ends at
  // once) and drops its answer; the client takes fetches again. Without a
  // fetch in flight the client is not touched.
  void drop();
  // A fetch was started and neither answered nor dropped.
  bool running() const { return worker_ != nullptr; }

 private:
  void answered(quint64 number, const std::function<void()>& take);

  HttpGet& http_;
  // Queued answers arrive through it; those still queued go with it.
  std::unique_ptr<QObject> context_;
  std::unique_ptr<QThread> worker_;
  // The number of the latest fetch; an answer of an earlier one is dropped.
  quint64 started_ = 0;
};

}  // namespace pelmar
