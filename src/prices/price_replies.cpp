#include "prices/price_replies.h"

#include <QRegularExpression>
#include <QUrl>
#include <optional>

#include "model/conversions.h"
#include "model/dates.h"

namespace pelmar {

namespace {

// The reply cut into lines at line feeds; a carriage return before the
// feed belongs to no field.
QStringList replyLines(const QString& reply) {
  QStringList lines = reply.split(u'\n');
  if (reply.endsWith(u'\n')) lines.removeLast();
  for (QString& line : lines)
    if (line.endsWith(u'\r')) line.chop(1);
  return lines;
}

bool startsWithDigit(const QString& text) {
  return !text.isEmpty() && text.at(0) >= u'0' && text.at(0) <= u'9';
}

// "5-mar-09": day, English month abbreviation, two-digit year (00–49 in
// this century, 50–99 in the last).
std::optional<QDate> dayMonthNameYear(const QString& text) {
  static const QStringList months = {"jan", "feb", "mar", "apr", "may", "jun",
                                     "jul", "aug", "sep", "oct", "nov", "dec"};
  static const QRegularExpression shape(QStringLiteral("^(\\d{1,2})-([a-z]{3})-(\\d{2}|\\d{4})$"));
  const QRegularExpressionMatch match = shape.match(text);
  if (!match.hasMatch()) return std::nullopt;
  const int month = static_cast<int>(months.indexOf(match.captured(2))) + 1;
  int year = match.captured(3).toInt();
  if (match.captured(3).size() == 2) year += year < 50 ? 2000 : 1900;
  const QDate date(year, month, match.captured(1).toInt());
  if (month == 0 || !date.isValid()) return std::nullopt;
  return date;
}

QString sixDigits(QDate day) {
  return TwoDigits(day.year() % 100) + TwoDigits(day.month()) + TwoDigits(day.day());
}

}  // namespace

QString DutchPriceUrl(const QString& base, const QString& ticker) {
  const QString t = ticker.toLower();
  return base + QStringLiteral("Beurs/Slotkoersen/.") +
         QString::fromLatin1(QUrl::toPercentEncoding(t.left(1))) + u'/' +
         QString::fromLatin1(QUrl::toPercentEncoding(t));
}

QString UsPriceUrl(const QString& base, const QString& ticker, QDate start, QDate end) {
  return base + QStringLiteral("table.csv?s=%1&a=%2&b=%3&c=%4&d=%5&e=%6&f=%7&g=d&ignore=.csv")
                    .arg(QString::fromLatin1(QUrl::toPercentEncoding(ticker)))
                    .arg(start.month() - 1)
                    .arg(start.day())
                    .arg(start.year())
                    .arg(end.month() - 1)
                    .arg(end.day())
                    .arg(end.year());
}

QString LookupUrl(const QString& base, const QString& query) {
  return base + QStringLiteral("l?s=") + QString::fromLatin1(QUrl::toPercentEncoding(query)) +
         QStringLiteral("&t=S&m=US");
}

bool DayFitsFiles(QDate day, QDate today) {
  const QDate tomorrow = today.addDays(1);
  return day.isValid() && day <= tomorrow && day > tomorrow.addYears(-100);
}

bool IsPlainDecimal(const QString& price) {
  static const QRegularExpression shape(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
  return shape.match(price).hasMatch();
}

ReplyResult ParseDutchReply(const QString& reply, QStringList& downloadLines, QDate today,
                            std::optional<Reason>& refused) {
  if (reply == QLatin1String("Default.htm") || reply.size() < 10)
    return {FetchStatus::TooSmall, {}};
  const auto refuse = [&](TextId id, int line, const QString& what) {
    downloadLines.clear();
    refused = Reason{id, {QString::number(line), what}, {}, line};
    return ReplyResult{FetchStatus::Failed, {}};
  };
  int number = 0;
  for (const QString& line : replyLines(reply)) {
    ++number;
    const QString date = BeforeChar(u':', line);
    QString price = AfterChar(u' ', line);
    const qsizetype comma = price.indexOf(u',');
    if (comma >= 0) price[comma] = u'.';
    const qsizetype x = price.indexOf(u'X');
    if (x >= 0) price.truncate(x);
    if (date.isEmpty()) return {FetchStatus::NotFound, {}};
    price = price.trimmed();
    const bool taken = price.size() < 10 && startsWithDigit(price);
    // A price that reads as a number only in another notation ("1e308")
    // is no price of the service's: refused, never stored.
    if (taken && !IsPlainDecimal(price)) return refuse(TextId::ImportBadPrice, number, price);
    if (StrToReal(price) < 0.0001) return {FetchStatus::Nothing, {}};
    if (taken) {
      if (RemoveDigits(date).isEmpty() && date.size() == 6) {
        // The service writes two-digit years of this century.
        const QDate day(2000 + date.left(2).toInt(), date.mid(2, 2).toInt(),
                        date.mid(4, 2).toInt());
        if (!day.isValid()) return refuse(TextId::ImportBadDate, number, date);
        if (!DayFitsFiles(day, today)) return refuse(TextId::DateOutsideFiles, number, date);
      }
      downloadLines << date + u',' + price;
    }
    if (price.size() > 10) break;
  }
  if (downloadLines.isEmpty()) return {FetchStatus::NotFound, {}};
  const std::optional<QDate> newest =
      parseDate(QStringLiteral("20%1-%2-%3")
                    .arg(downloadLines.last().mid(0, 2), downloadLines.last().mid(2, 2),
                         downloadLines.last().mid(4, 2)),
                DateFormat::YearMonthDay);
  if (!newest) return {FetchStatus::NotFound, {}};
  return {FetchStatus::Ok, *newest};
}

ReplyResult ParseUsReply(QString reply, QStringList& downloadLines, QDate today,
                         std::optional<Reason>& refused) {
  reply.remove(u'"');
  if (reply == QLatin1String("Default.htm") || reply.isEmpty()) return {FetchStatus::TooSmall, {}};
  if (reply.contains(QLatin1String("Please check the URL"))) return {FetchStatus::NotFound, {}};
  const auto refuse = [&](TextId id, int line, const QString& what) {
    downloadLines.clear();
    refused = Reason{id, {QString::number(line), what}, {}, line};
    return ReplyResult{FetchStatus::Failed, {}};
  };
  const QStringList lines = replyLines(reply);
  ReplyResult result;  // not found until a row has a readable date
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const int number = static_cast<int>(i + 1);
    QString date = lines[i].section(u',', 0, 0).toLower();
    if (date.isEmpty()) break;
    const QString rest = AfterChar(u',', lines[i]);
    if (rest.isEmpty()) {
      if (i == 1) result = {FetchStatus::Nothing, {}};
      break;
    }
    const QString price = rest.contains(u',') ? AfterLastChar(u',', rest) : rest;
    if (date.size() == 15) date.remove(0, 5);
    const std::optional<QDate> day = RemoveDigits(date) == QLatin1String("--")
                                         ? parseDate(date, DateFormat::YearMonthDay)
                                         : dayMonthNameYear(date);
    if (!day) break;
    // A day the files cannot name faithfully, or one after tomorrow, would
    // overwrite another century's prices or fix the LastDate for good.
    if (!DayFitsFiles(*day, today)) return refuse(TextId::DateOutsideFiles, number, date);
    const bool taken = price.size() < 12 && startsWithDigit(price);
    if (taken && !IsPlainDecimal(price)) return refuse(TextId::ImportBadPrice, number, price);
    if (i == 1) result = {FetchStatus::Ok, *day};
    if (taken) downloadLines << sixDigits(*day) + u',' + price;
    if (price.size() > 12) break;
  }
  return result;
}

LookupResult ParseLookupPage(const QString& page) {
  LookupResult found;
  if (page == QLatin1String("Default.htm") || page.size() < 60) return found;
  const qsizetype stocks = page.indexOf(QLatin1String("Stocks<br>"));
  const qsizetype open = stocks < 0 ? -1 : page.indexOf(u'(', stocks);
  const qsizetype close = open < 0 ? -1 : page.indexOf(u')', open);
  if (close < 0) return found;
  found.count = page.mid(open + 1, close - open - 1).trimmed().toInt();
  if (found.count != 1) return found;
  const auto after = [&](qsizetype from, QLatin1String mark) {
    const qsizetype at = from < 0 ? -1 : page.indexOf(mark, from);
    return at < 0 ? -1 : at + mark.size();
  };
  const qsizetype link = after(after(close, QLatin1String("<td>")), QLatin1String("\">"));
  const qsizetype linkEnd = link < 0 ? -1 : page.indexOf(QLatin1String("</a>"), link);
  const qsizetype name = after(linkEnd, QLatin1String("<td>"));
  const qsizetype nameEnd = name < 0 ? -1 : page.indexOf(QLatin1String("</td>"), name);
  if (nameEnd < 0) {
    found.count = 0;  // the marks are not all there: not exactly one found
    return found;
  }
  found.ticker = page.mid(link, linkEnd - link);
  found.company = page.mid(name, nameEnd - name);
  return found;
}

QString PadName(const QString& name) {
  QString padded = name + u' ';
  while (padded.size() < 23) padded += padded.size() % 2 == 1 ? u'.' : u' ';
  return padded;
}

bool NoNewDutchPrices(const QDateTime& now, QDate last) {
  const qint64 days = last.daysTo(now.date());
  if (days == 0) return true;
  if (now.time().hour() >= 20) return false;
  return days == 1 || (now.date().dayOfWeek() == Qt::Monday && days == 3);
}

QDate LastWorkingDay(QDate day) {
  // Bounded: there are never more than four non-working days in a row.
  for (int i = 0; i < 7 && IsNonWorkingDay(dateToSerial(day)); ++i) day = day.addDays(-1);
  return day;
}

bool NoNewUsPrices(const QDateTime& now, QDate start) {
  const qint64 days = start.daysTo(LastWorkingDay(now.date()));
  const int dow = now.date().dayOfWeek() % 7 + 1;  // 1 = Sunday … 7 = Saturday
  const int hour = now.time().hour();
  const bool weekday = dow >= 2 && dow <= 6;
  return days == 0 || (dow == 1 && days == 2) || (dow == 2 && days == 3) ||
         (weekday && days == 2 && hour == 0) || (weekday && days == 1);
}

}  // namespace pelmar
