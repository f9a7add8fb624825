#pragma once

#include <QByteArray>
#include <QString>

#include "lang/language.h"

namespace pelmar {

// What one web page fetch gave: the body of a reply the server finished,
// or why there is none.
struct HttpReply {
  enum class Status {
    Ok,        // the server answered (any HTTP status); body holds its text
    Failed,    // no connection: the server could not be reached (host not
               // found, refused, a time-out before the request went out, a
               // refused certificate); error says which
    NoAnswer,  // the request went out but no usable reply came (the server
               // stayed silent, a redirect loop, a broken reply); error says
               // which. Only this fetch failed, not the connection.
    TooLarge,  // the reply passed the size bound and was dropped
  };
  Status status = Status::Failed;
  // The reply's HTTP status (0 when the client does not say); a page with
  // an error status (300 and up) is no page of prices.
  int httpStatus = 0;
  QByteArray body;
  QString error;
  // Seconds waited when no answer came in time (0 otherwise): the reason
  // is then told in the program's language.
  double timedOutAfter = 0;

  bool ok() const { return status == Status::Ok; }
  // A page to read: the server answered without an error status.
  bool page() const { return ok() && httpStatus < 300; }
  // Why a failed fetch failed, in the language.
  QString failure(const Language& language) const {
    return timedOutAfter > 0 ? language.text(TextId::NoAnswerWithin).arg(timedOutAfter) : error;
  }
};

// Fetches one page by its address. The download commands take one from
// their caller, so tests and the headless tool choose the client.
class HttpGet {
 public:
  virtual ~HttpGet() = default;
  virtual HttpReply get(const QString& url) = 0;
  // Ends the fetch running on another thread at once (its reply fails) and
  // every later one, until resume(); safe from any thread.
  virtual void abort() {}
  virtual void resume() {}
};

}  // namespace pelmar
