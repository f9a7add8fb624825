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
    Failed,    // no answer: no connection, time-out, refused certificate,
               // too many redirects; error says which
    TooLarge,  // the reply passed the size bound and was dropped
  };
  Status status = Status::Failed;
  int httpStatus = 0;
  QByteArray body;
  QString error;
  // Seconds waited when no answer came in time (0 otherwise): the reason
  // is then told in the program's language.
  double timedOutAfter = 0;

  bool ok() const { return status == Status::Ok; }
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
};

}  // namespace pelmar
