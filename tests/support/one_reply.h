#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>

#include "prices/http_get.h"

namespace pelmar::test {

// Answers every fetch with one reply (which a test may change between
// fetches) and records the addresses asked.
class OneReply : public HttpGet {
 public:
  explicit OneReply(HttpReply answer = {}) : reply(std::move(answer)) {}
  HttpReply get(const QString& url) override {
    urls << url;
    return reply;
  }
  HttpReply reply;
  QStringList urls;
};

// A page the server answered with the status.
inline HttpReply page(QByteArray body, int status = 200) {
  return {HttpReply::Status::Ok, status, std::move(body), {}};
}

}  // namespace pelmar::test
