#include "net/http_client.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "net/local_server.h"

namespace pelmar {
namespace {

using test::LocalServer;
using test::Route;

TEST(HttpClient, ServesPagesAndKeepsErrorPages) {
  const QMap<QString, Route> pages = {
      {"/page", Route::page("090313: 12,34X\n")},
      {"/missing", Route::page("Please check the URL", 404)},
      {"/empty", Route::page("")},
      {"/bytes", Route::page(QByteArray("\x00\xff\x01garbage\x00", 11))}};
  QMap<QString, Route> routes = pages;
  routes.insert("/hop", Route::redirect("/page"));
  LocalServer server(routes);
  NetworkHttpGet client(test::quickLimits());
  // The redirect ends on the page it points at.
  for (const auto& [path, route] : routes.asKeyValueRange()) {
    const Route& page = route.kind == Route::Kind::Redirect ? pages[route.location] : route;
    const HttpReply reply = client.get(server.url(path));
    EXPECT_TRUE(reply.ok()) << path.toStdString() << reply.error.toStdString();
    EXPECT_EQ(reply.httpStatus, page.status) << path.toStdString();
    EXPECT_EQ(reply.body, page.body) << path.toStdString();
  }
}

TEST(HttpClient, BoundsEveryFailure) {
  LocalServer server({{"/silent", Route::silent()},
                      {"/huge", Route::huge(100LL * 1024 * 1024)},
                      {"/loop", Route::redirect("/loop")}});
  NetworkHttpGet client(test::quickLimits());

  // Accepts and never answers: the request went out, so the connection
  // stood; this page gets no answer within the time-out, and it is not
  // asked again.
  HttpReply reply = client.get(server.url("/silent"));
  EXPECT_EQ(reply.status, HttpReply::Status::NoAnswer);
  EXPECT_DOUBLE_EQ(reply.timedOutAfter, test::quickLimits().timeoutMs / 1000.0);
  EXPECT_EQ(server.requests().count("/silent"), 1);

  reply = client.get(server.url("/huge"));
  EXPECT_EQ(reply.status, HttpReply::Status::TooLarge);
  EXPECT_TRUE(reply.body.isEmpty());

  reply = client.get(server.url("/loop"));
  EXPECT_EQ(reply.status, HttpReply::Status::NoAnswer);
  // Five redirects at most; Qt may repeat a request once on a closed connection.
  EXPECT_LE(server.requests().count("/loop"), 12);

  // Nobody listens: refused at once, tried again, given up.
  const QString closed = server.url("/x").replace(QRegularExpression(":\\d+/"), ":1/");
  EXPECT_EQ(client.get(closed).status, HttpReply::Status::Failed);
  EXPECT_EQ(client.get("file:///etc/passwd").status, HttpReply::Status::Failed);

  // Aborted, the client refuses every fetch until it is resumed.
  client.abort();
  EXPECT_EQ(client.get(server.url("/huge")).error, "aborted");
  EXPECT_EQ(server.requests().count("/huge"), 1);
  client.resume();
  EXPECT_EQ(client.get(server.url("/huge")).status, HttpReply::Status::TooLarge);
}

TEST(HttpClient, HttpsTrustsOnlyWhatItIsTold) {
  test::TestCertificate certificate;
  ASSERT_TRUE(test::makeTestCertificate(certificate)) << "openssl could not make a certificate";
  LocalServer server({{"/page", Route::page("secure")}}, &certificate);
  QFile pem(certificate.certPath);
  ASSERT_TRUE(pem.open(QIODevice::ReadOnly));

  NetworkHttpGet trusting(test::quickLimits(), {QSslCertificate(pem.readAll())});
  const HttpReply reply = trusting.get(server.url("/page"));
  EXPECT_TRUE(reply.ok()) << reply.error.toStdString();
  EXPECT_EQ(reply.body, "secure");

  NetworkHttpGet stranger(test::quickLimits());
  const HttpReply refused = stranger.get(server.url("/page"));
  EXPECT_EQ(refused.status, HttpReply::Status::Failed);
  EXPECT_FALSE(refused.error.isEmpty());
  EXPECT_TRUE(refused.body.isEmpty());
}

}  // namespace
}  // namespace pelmar
