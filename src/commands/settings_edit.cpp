#include "commands/settings_edit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "commands/datasets.h"
#include "commands/refusal.h"
#include "model/dates.h"
#include "model/safe_write.h"
#include "prices/csv_source.h"
#include "prices/price_source.h"
#include "prices/stock_list.h"
#include "prices/web_address.h"

namespace pelmar {
namespace {

constexpr int kMaxDays = 9999;

std::optional<int> wholeDays(const QString& text) {
  bool ok = false;
  const int days = text.trimmed().toInt(&ok);
  if (!ok || days < 0 || days > kMaxDays) return std::nullopt;
  return days;
}

QString shown(const QString& folder) {
  return QDir::toNativeSeparators(folder);
}

// A stored choice that is none of the allowed texts is refused with them.
Outcome checkChoice(const Session& session, Prompter& prompter, const QString& value,
                    const QString& name, const QStringList& allowed) {
  if (allowed.contains(value)) return Outcome::done();
  return Refuse(session, prompter, TextId::SettingBadChoice,
                {value, name, allowed.join(QStringLiteral(", "))});
}

// Every value that only a typed text or the tool can spoil.
Outcome checkValues(const Session& session, Prompter& prompter, const SettingsEdit& edit,
                    Settings& next) {
  if (!next.downloadFromLastDate) {
    const std::optional<int> days = wholeDays(edit.daysText);
    if (!days) return Refuse(session, prompter, TextId::SettingDaysNotWhole, {edit.daysText});
    next.downloadDays = *days;
  }
  if (Outcome o = checkChoice(
          session, prompter, next.language, QStringLiteral("Options/Taal"),
          {Language::kSettingSystem, Language::kSettingDutch, Language::kSettingEnglish});
      !o)
    return o;
  // The date format is read without case; the stored text is the program's own.
  const QStringList formats = dateFormatSettings();
  const QString dates = dateFormatSetting(dateFormatFromSetting(next.dateFormat));
  if (Outcome o = checkChoice(
          session, prompter,
          next.dateFormat.compare(dates, Qt::CaseInsensitive) == 0 ? dates : next.dateFormat,
          QStringLiteral("Options/Datum"), formats);
      !o)
    return o;
  next.dateFormat = dates;
  bool ok = false;
  if (next.dollarFactor.trimmed().toInt(&ok) < 1 || !ok)
    return Refuse(session, prompter, TextId::SettingNotAValue,
                  {next.dollarFactor, QStringLiteral("Valuta/FactorDollar")});
  QStringList sources;
  for (const SourceInfo& source : PriceSources()) sources << source.id;
  for (const auto& [value, name] : {std::pair{&next.dutchSource, "Download/DutchSource"},
                                    std::pair{&next.usSource, "Download/USSource"}}) {
    *value = PriceSourceId(*value).value_or(*value);
    if (Outcome o = checkChoice(session, prompter, *value, QLatin1String(name), sources); !o)
      return o;
  }
  next.rateSource = next.rateSource.trimmed().toLower();
  if (Outcome o =
          checkChoice(session, prompter, next.rateSource, QStringLiteral("Download/RateSource"),
                      {SourceId::None, SourceId::Ecb});
      !o)
    return o;
  for (const ServiceAddress& service : ServiceAddresses()) {
    QString& address = next.*service.member;
    address = address.trimmed();
    if (service.urlTemplate && !address.contains(QLatin1String("{symbol}")))
      return Refuse(session, prompter, TextId::CsvTemplateNoSymbol, {address});
    const QString example =
        service.urlTemplate
            ? ExpandUrlTemplate(address, QStringLiteral("X"), QDate(2000, 1, 1), QDate(2000, 1, 2))
            : address;
    if (!IsWebAddress(example))
      return Refuse(session, prompter, TextId::SettingBadAddress,
                    {address, session.text(service.label)});
  }
  return Outcome::done();
}

// A changed folder must be one the program can make and write.
Outcome checkFolder(const Session& session, Prompter& prompter, const QString& old, QString& folder,
                    bool& kept) {
  folder = NormalizeFilePathName(folder, PathKind::Folder);
  if (SameFolder(old, folder) || FolderUsable(folder)) return Outcome::done();
  kept = true;
  return Refuse(session, prompter, TextId::SettingFolderUnusable, {shown(folder), shown(old)});
}

// Copies the folder's files when asked; a copy that fails keeps the old
// folder in use and says so. True when the new folder is taken.
bool moveFolder(const Session& session, Prompter& prompter, const QString& old, QString& folder,
                bool copy, const QStringList& extensions, const CopyProgress& progress) {
  if (copy) {
    const FolderCopy result = CopyFolderFiles(old, folder, extensions, progress);
    if (!result.ok) {
      Tell(session, prompter,
           Outcome::failed(TextId::SettingCopyFailed,
                           {shown(folder), result.failedFile, shown(old)}));
      folder = old;
      return false;
    }
  }
  return true;
}

void takeLanguage(Session& session, Prompter& prompter, const Settings& next,
                  SettingsEffects& effects) {
  if (next.language == session.settings().language) return;
  const Language::Code before = session.language().code();
  session.settings().language = next.language;
  session.applyLanguageSetting();
  effects.language = session.language().code() != before;
  prompter.message(session.text(TextId::LanguageChanged));
}

// The stock lists change only when the format does: a stored "DD-MM-YYYY"
// and the window's "dd-MM-yyyy" are one format, read without case.
void takeDateFormat(Session& session, Prompter& prompter, Settings& next,
                    SettingsEffects& effects) {
  const QString old = session.settings().dateFormat;
  const DateFormat from = dateFormatFromSetting(old);
  const DateFormat to = dateFormatFromSetting(next.dateFormat);
  if (from == to) return;
  const StockListConversion result = ConvertStockListDates(
      next.pricePath, from, to, [](const QString& path, const QByteArray& bytes) {
        return safe_write::WriteFile(path, bytes);
      });
  if (!result.failed.isEmpty()) {
    Tell(session, prompter,
         Outcome::failed(TextId::SettingDatesNotConverted, {shown(result.failed)}));
    for (const QString& list : result.notRestored)
      Tell(session, prompter, Outcome::failed(TextId::SettingDatesNotRestored, {shown(list)}));
    next.dateFormat = old;
    return;
  }
  effects.dateFormat = true;
}

}  // namespace

const std::vector<ServiceAddress>& ServiceAddresses() {
  static const std::vector<ServiceAddress> services{
      {&Settings::dutchPriceService, TextId::OptDutchService},
      {&Settings::usPriceService, TextId::OptUsService},
      {&Settings::symbolLookupService, TextId::OptSymbolService},
      {&Settings::chartSourceUrl, TextId::SourceChartJson},
      {&Settings::csvSourceUrl, TextId::SourceCsvUrl, true},
      {&Settings::referenceRatesUrl, TextId::SourceEcb},
  };
  return services;
}

QuoteSwitches QuoteEffect(const Settings& before, const Settings& after) {
  QuoteSwitches q;
  q.dollar = after.downloadDollarQuote;
  q.aex = after.downloadAexQuote;
  q.buttons = ShowQuoteButtons(after);
  q.connect = q.dollar || q.aex;
  q.clearDollar = before.downloadDollarQuote && !q.dollar;
  q.clearAex = before.downloadAexQuote && !q.aex;
  if (q.aex) {
    q.label = QStringLiteral(" * AEX ");
  } else if (q.dollar) {
    q.label = QStringLiteral(" * US$ ");
  }
  q.automaticDownload = after.downloadAtStart;
  q.changed = before.downloadDollarQuote != q.dollar || before.downloadAexQuote != q.aex;
  return q;
}

SettingsEdit VarToScreen(const Session& session) {
  SettingsEdit edit;
  edit.settings = session.settings();
  edit.daysText = QString::number(edit.settings.downloadDays);
  edit.portInDollar = session.portfolio().bPortInDollar();
  edit.rapInDollar = session.portfolio().bRapInDollar();
  return edit;
}

QString NormalizeFilePathName(const QString& path, PathKind kind) {
  QString result = QDir::fromNativeSeparators(path.trimmed());
  if (kind == PathKind::Folder) {
    if (!result.isEmpty() && !result.endsWith(u'/')) result += u'/';
  } else if (!result.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive)) {
    result += QStringLiteral(".xml");
  }
  return result;
}

bool SetValuta(Session& session, bool portInDollar, bool rapInDollar) {
  Portfolio& p = session.portfolio();
  if (!p.bPortOpened() && !p.bPortNew()) return false;
  if (p.bPortInDollar() == portInDollar && p.bRapInDollar() == rapInDollar) return false;
  p.setCurrencies(portInDollar, rapInDollar);
  p.markChanged();
  CalcCurrentDataSet(session);
  return true;
}

Outcome ScreenToVar(Session& session, Prompter& prompter, const SettingsEdit& edit,
                    SettingsEffects& effects, const CopyProgress& progress) {
  effects = {};
  const Settings before = session.settings();
  Settings next = edit.settings;
  if (Outcome o = checkValues(session, prompter, edit, next); !o) return o;
  if (Outcome o = checkFolder(session, prompter, before.portfolioPath, next.portfolioPath,
                              effects.keptPortfolioFolder);
      !o)
    return o;
  if (Outcome o =
          checkFolder(session, prompter, before.pricePath, next.pricePath, effects.keptPriceFolder);
      !o)
    return o;

  takeLanguage(session, prompter, next, effects);
  if (!SameFolder(before.portfolioPath, next.portfolioPath)) {
    effects.keptPortfolioFolder =
        !moveFolder(session, prompter, before.portfolioPath, next.portfolioPath, next.copyPorts,
                    {QStringLiteral("xml"), QStringLiteral("bak")}, progress);
  }
  if (!SameFolder(before.pricePath, next.pricePath)) {
    effects.keptPriceFolder = !moveFolder(
        session, prompter, before.pricePath, next.pricePath, next.copyPrices,
        {QStringLiteral("csv"), QStringLiteral("bak"), QStringLiteral("txt")}, progress);
  }
  effects.portfolioFolder = next.portfolioPath != before.portfolioPath;
  effects.priceFolder = next.pricePath != before.pricePath;
  takeDateFormat(session, prompter, next, effects);
  effects.currencies = SetValuta(session, edit.portInDollar, edit.rapInDollar);
  effects.quotes = QuoteEffect(before, next);
  effects.markets = next.downloadDutchList != before.downloadDutchList ||
                    next.downloadUsList != before.downloadUsList;
  if (next.downloadFromLastDate) next.downloadDays = 0;
  effects.chart = next.chartDays != before.chartDays || next.chartNormal != before.chartNormal;

  session.settings() = next;
  session.applyPricePath();
  return Outcome::done();
}

Outcome SaveOptions(const Session& session) {
  return session.storeSettings();
}

Outcome OptionsOk(Session& session, Prompter& prompter, const SettingsEdit& edit,
                  SettingsEffects& effects, const CopyProgress& progress) {
  if (Outcome o = ScreenToVar(session, prompter, edit, effects, progress); !o) return o;
  const Outcome saved = SaveOptions(session);
  Tell(session, prompter, saved);
  return saved;
}

Outcome SetSetting(Session& session, Prompter& prompter, const QString& name, const QString& value,
                   SettingsEffects& effects) {
  SettingsEdit edit = VarToScreen(session);
  switch (setSettingText(edit.settings, name, value)) {
    case SettingText::UnknownName:
      return Refuse(session, prompter, TextId::SettingUnknownName, {name});
    case SettingText::NotAValue:
      return Refuse(session, prompter, TextId::SettingNotAValue, {value, *settingName(name)});
    case SettingText::Done:
      break;
  }
  const QString stored = *settingName(name);
  if (stored == QLatin1String("Download/Dagen")) edit.daysText = value;
  // Only one live quote at a time, as the window's check boxes keep it.
  Settings& s = edit.settings;
  if (stored == QLatin1String("Download/Dollarkoers Downloaden") && s.downloadDollarQuote)
    s.downloadAexQuote = false;
  if (stored == QLatin1String("Download/AEXkoers Downloaden") && s.downloadAexQuote)
    s.downloadDollarQuote = false;
  return OptionsOk(session, prompter, edit, effects);
}

StockListConversion ConvertStockListDates(const QString& folder, DateFormat from, DateFormat to,
                                          const FileWriter& write) {
  StockListConversion result;
  QStringList written;
  QList<QByteArray> originals;
  for (Market market : {Market::Dutch, Market::Us}) {
    const QString path = stockListPath(folder, market);
    if (!QFileInfo::exists(path)) continue;
    bool read = true;
    const QStringList lines = LoadStockList(path, &read);
    QFile file(path);
    const bool kept = read && file.open(QIODevice::ReadOnly);
    const QByteArray original = kept ? file.readAll() : QByteArray();
    if (!kept || !write(path, StockListBytes(ConvertLastDates(lines, from, to)))) {
      result.failed = path;
      for (qsizetype i = 0; i < written.size(); ++i)
        if (!write(written[i], originals[i])) result.notRestored << written[i];
      return result;
    }
    written << path;
    originals << original;
  }
  return result;
}

LatestPriceDays ReadLastPrices(Session& session) {
  return session.prices().latestPriceDays();
}

QString LastDownloadText(Session& session) {
  const LatestPriceDays days = ReadLastPrices(session);
  const DateFormat format = dateFormatFromSetting(session.settings().dateFormat);
  const auto day = [&](qint64 serial) {
    return serial > 0 ? formatDate(serialToDate(static_cast<double>(serial)), format)
                      : QStringLiteral("-");
  };
  return session.text(TextId::OptLastDownload).arg(day(days.dutch), day(days.us));
}

void BtnCheckClick(const Session& session, Prompter& prompter) {
  prompter.message(session.text(TextId::OptUpdatesFromPackage));
}

void ReportResetSettings(Session& session, Prompter& prompter) {
  QStringList& reset = session.settingsReset();
  if (reset.isEmpty()) return;
  prompter.message(session.text(TextId::SettingsReset).arg(reset.join(QStringLiteral(", "))));
  reset.clear();
  Tell(session, prompter, session.storeSettings());
}

}  // namespace pelmar
