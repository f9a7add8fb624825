#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <utility>

#include "prices/http_get.h"

namespace pelmar::test {

// Answers every fetch with one reply and records the addresses asked.
class OneReply : public HttpGet {
 public:
  explicit OneReply(HttpReply reply) : reply_(std::move(reply)) {}
  HttpReply get(const QString& url) override {
    urls << url;
    return reply_;
  }
  QStringList urls;

 private:
  HttpReply reply_;
};

// A page the server answered with the status.
inline HttpReply page(QByteArray body, int status = 200) {
  return {HttpReply::Status::Ok, status, std::move(body), {}};
}

}  // namespace pelmar::test
