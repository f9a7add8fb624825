#pragma once

#include <QString>
#include <QUrl>

namespace pelmar {

// Whether a text is an http or https address with a host: what a price
// service, a quote page or the symbol look-up may be.
inline bool IsWebAddress(const QString& text) {
  const QUrl url(text.trimmed(), QUrl::StrictMode);
  return url.isValid() && !url.host().isEmpty() &&
         (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

}  // namespace pelmar
