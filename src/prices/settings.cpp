#include "prices/settings.h"

#include <QDir>
#include <QStandardPaths>
#include <array>
#include <cmath>
#include <cstdlib>
#include <variant>

#include "lang/language.h"
#include "prices/price_source.h"
#include "prices/web_address.h"

namespace pelmar {
namespace {

using Member = std::variant<int Settings::*, std::optional<int> Settings::*, bool Settings::*,
                            double Settings::*, QString Settings::*>;

struct Field {
  const char* section;
  const char* name;
  Member member;
};

// Where each setting is stored: section and value name.
const std::array kFields{
    Field{"Defaults", "Top", &Settings::mainTop},
    Field{"Defaults", "Left", &Settings::mainLeft},
    Field{"Defaults", "Width", &Settings::mainWidth},
    Field{"Defaults", "Height", &Settings::mainHeight},
    Field{"Options", "Top", &Settings::optionsTop},
    Field{"Options", "Left", &Settings::optionsLeft},
    Field{"Defaults", "Path", &Settings::portfolioPath},
    Field{"Defaults", "FileName", &Settings::fileName},
    Field{"Defaults", "Extension", &Settings::extension},
    Field{"Defaults", "Copy Ports", &Settings::copyPorts},
    Field{"Options", "Taal", &Settings::language},
    Field{"Options", "Datum", &Settings::dateFormat},
    Field{"Defaults", "ROTAI", &Settings::showRotai},
    Field{"Defaults", "YN Niet OpnieuwTonen", &Settings::hideYearClosingWarning},
    Field{"Defaults", "Title", &Settings::reportTitle},
    Field{"Download", "Pad voor Koersen", &Settings::pricePath},
    Field{"Defaults", "Copy Prices", &Settings::copyPrices},
    Field{"Download", "Koersen Downloaden", &Settings::downloadAtStart},
    Field{"Download", "Dollarkoers Downloaden", &Settings::downloadDollarQuote},
    Field{"Download", "AEXkoers Downloaden", &Settings::downloadAexQuote},
    Field{"Download", "Nederlandse Koersen Downloaden", &Settings::downloadDutchList},
    Field{"Download", "Amerikaanse Koersen Downloaden", &Settings::downloadUsList},
    Field{"Download", "Dagen", &Settings::downloadDays},
    Field{"Download", "Laatste datum", &Settings::downloadFromLastDate},
    Field{"Download", "Top", &Settings::downloadTop},
    Field{"Download", "Left", &Settings::downloadLeft},
    Field{"Download", "Breedte", &Settings::downloadWidth},
    Field{"Download", "Hoogte", &Settings::downloadHeight},
    Field{"Download", "DutchPriceService", &Settings::dutchPriceService},
    Field{"Download", "USPriceService", &Settings::usPriceService},
    Field{"Download", "SymbolLookupService", &Settings::symbolLookupService},
    Field{"Update", "Automatische Update Aan", &Settings::automaticUpdate},
    Field{"Valuta", "NaamDollarIndex", &Settings::dollarIndexName},
    Field{"Defaults", "Euro", &Settings::euro},
    Field{"Valuta", "FactorDollar", &Settings::dollarFactor},
    Field{"Valuta", "ValutaMulDiv", &Settings::currencyMulDiv},
    Field{"Grafiek", "Dagen", &Settings::chartDays},
    Field{"Grafiek", "Normaal", &Settings::chartNormal},
    Field{"Grafiek", "GraphTop", &Settings::chartTop},
    Field{"Grafiek", "GraphLeft", &Settings::chartLeft},
    Field{"Grafiek", "GraphWidth", &Settings::chartWidth},
    Field{"Grafiek", "GraphHeight", &Settings::chartHeight},
    Field{"Defaults", "ActionsTop", &Settings::actionsTop},
    Field{"Defaults", "ActionsLeft", &Settings::actionsLeft},
    Field{"Defaults", "ActionsHeight", &Settings::actionsHeight},
    Field{"Defaults", "ActionsWidth", &Settings::actionsWidth},
    Field{"Defaults", "PortTop", &Settings::portReportTop},
    Field{"Defaults", "PortLeft", &Settings::portReportLeft},
    Field{"Defaults", "PortHeight", &Settings::portReportHeight},
    Field{"Defaults", "PortWidth", &Settings::portReportWidth},
    Field{"Defaults", "RekTop", &Settings::accountsTop},
    Field{"Defaults", "RekLeft", &Settings::accountsLeft},
    Field{"Defaults", "RekWidth", &Settings::accountsWidth},
    Field{"Defaults", "RekHeight", &Settings::accountsHeight},
    Field{"Defaults", "AboutTop", &Settings::aboutTop},
    Field{"Defaults", "AboutLeft", &Settings::aboutLeft},
    Field{"Check", "Top", &Settings::checkTop},
    Field{"Check", "Left", &Settings::checkLeft},
    Field{"Service", "Top", &Settings::serviceTop},
    Field{"Service", "Left", &Settings::serviceLeft},
    Field{"Service", "ClientWidth", &Settings::serviceClientWidth},
    Field{"Service", "ClientHeight", &Settings::serviceClientHeight},
    Field{"Service", "CumFonds", &Settings::cumFonds},
    Field{"Service", "ServicePanel", &Settings::servicePanel},
    Field{"Service", "Debug", &Settings::debug},
    Field{"Service", "LogFile", &Settings::logFile},
    Field{"Service", "Edit Old Dates", &Settings::editOldDates},
    Field{"Options", "Cfg", &Settings::cfg},
    // Currencies and the live quotes.
    Field{"sValuta", "NaamDollarIndex", &Settings::fundIndexName},
    Field{"sValuta", "FactorDollar", &Settings::fundIndexFactor},
    Field{"sValuta", "ValutaMulDiv", &Settings::fundIndexMulDiv},
    Field{"Download", "DollarQuotePage", &Settings::dollarQuotePage},
    Field{"Download", "AEXQuotePage", &Settings::aexQuotePage},
    // Price sources.
    Field{"Download", "DutchSource", &Settings::dutchSource},
    Field{"Download", "USSource", &Settings::usSource},
    Field{"Download", "ChartSource", &Settings::chartSourceUrl},
    Field{"Download", "CsvSource", &Settings::csvSourceUrl},
    Field{"Download", "RateSource", &Settings::rateSource},
    Field{"Download", "ReferenceRates", &Settings::referenceRatesUrl},
};

std::optional<int> toInt(const QVariant& v) {
  bool ok = false;
  const int i = v.toString().trimmed().toInt(&ok);
  return ok ? std::optional<int>(i) : std::nullopt;
}

// Yes/no values are stored as 1 or 0; "true"/"false" and "yes"/"no" are read as well.
std::optional<bool> toBool(const QVariant& v) {
  const QString s = v.toString().trimmed().toLower();
  if (s == QLatin1String("true") || s == QLatin1String("yes")) return true;
  if (s == QLatin1String("false") || s == QLatin1String("no")) return false;
  if (const auto i = toInt(v)) return *i != 0;
  return std::nullopt;
}

// Floating values: either decimal separator.
std::optional<double> toDouble(const QVariant& v) {
  bool ok = false;
  const double d = v.toString().trimmed().replace(QChar(','), QChar('.')).toDouble(&ok);
  return ok ? std::optional<double>(d) : std::nullopt;
}

// The bounds of a stored whole number: the days of a download as the
// window allows them, every position, size and count within a screen's
// reach many times over.
constexpr int kLargestNumber = 100000;

bool wholeFactor(const QString& text) {
  bool ok = false;
  const int factor = text.trimmed().toInt(&ok);
  return ok && factor >= 1;
}

// Whether a value read into the settings can be used: a choice among its
// texts, a web address, a number within its bounds.
bool usable(const Settings& s, const Field& f) {
  const QString name = QLatin1String(f.section) + u'/' + QLatin1String(f.name);
  if (name == QLatin1String("Options/Taal"))
    return QStringList{Language::kSettingSystem, Language::kSettingDutch, Language::kSettingEnglish}
        .contains(s.language);
  if (name == QLatin1String("Options/Datum")) return dateFormatSettings().contains(s.dateFormat);
  if (name == QLatin1String("Download/Dagen")) return s.downloadDays >= 0 && s.downloadDays <= 9999;
  if (name == QLatin1String("Grafiek/Dagen"))
    return s.chartDays >= 1 && s.chartDays <= kLargestNumber;
  if (name == QLatin1String("Defaults/Euro"))
    return std::isfinite(s.euro) && s.euro > 0 && s.euro < 1e6;
  if (name == QLatin1String("Valuta/FactorDollar")) return wholeFactor(s.dollarFactor);
  if (name == QLatin1String("sValuta/FactorDollar")) return wholeFactor(s.fundIndexFactor);
  for (QString Settings::*address :
       {&Settings::dutchPriceService, &Settings::usPriceService, &Settings::symbolLookupService,
        &Settings::dollarQuotePage, &Settings::aexQuotePage}) {
    if (std::get_if<QString Settings::*>(&f.member) &&
        *std::get_if<QString Settings::*>(&f.member) == address)
      return IsWebAddress(s.*address);
  }
  return std::visit(
      [&](auto ptr) {
        using T = std::remove_cvref_t<decltype(s.*ptr)>;
        if constexpr (std::is_same_v<T, int>) {
          return std::abs(s.*ptr) <= kLargestNumber;
        } else if constexpr (std::is_same_v<T, std::optional<int>>) {
          return !(s.*ptr) || std::abs(*(s.*ptr)) <= kLargestNumber;
        } else {
          return true;
        }
      },
      f.member);
}

void readInto(Settings& s, const Member& member, const QVariant& v) {
  std::visit(
      [&](auto ptr) {
        using T = std::remove_reference_t<decltype(s.*ptr)>;
        if constexpr (std::is_same_v<T, int> || std::is_same_v<T, std::optional<int>>) {
          if (const auto i = toInt(v)) s.*ptr = *i;
        } else if constexpr (std::is_same_v<T, bool>) {
          if (const auto b = toBool(v)) s.*ptr = *b;
        } else if constexpr (std::is_same_v<T, double>) {
          if (const auto d = toDouble(v)) s.*ptr = *d;
        } else {
          s.*ptr = v.toString();
        }
      },
      member);
}

std::optional<QVariant> stored(const Settings& s, const Member& member) {
  return std::visit(
      [&](auto ptr) -> std::optional<QVariant> {
        using T = std::remove_cvref_t<decltype(s.*ptr)>;
        if constexpr (std::is_same_v<T, std::optional<int>>) {
          if (!(s.*ptr)) return std::nullopt;
          return QVariant(*(s.*ptr));
        } else if constexpr (std::is_same_v<T, bool>) {
          return QVariant(s.*ptr ? 1 : 0);
        } else {
          return QVariant(s.*ptr);
        }
      },
      member);
}

QString fullName(const Field& f) {
  return QLatin1String(f.section) + u'/' + QLatin1String(f.name);
}

const Field* findField(const QString& name) {
  for (const Field& f : kFields)
    if (fullName(f).compare(name.trimmed(), Qt::CaseInsensitive) == 0) return &f;
  return nullptr;
}

}  // namespace

QStringList settingNames() {
  QStringList names;
  for (const Field& f : kFields) names << fullName(f);
  return names;
}

std::optional<QString> settingName(const QString& name) {
  const Field* f = findField(name);
  if (!f) return std::nullopt;
  return fullName(*f);
}

std::optional<QString> settingText(const Settings& settings, const QString& name) {
  const Field* f = findField(name);
  if (!f) return std::nullopt;
  const std::optional<QVariant> v = stored(settings, f->member);
  return v ? v->toString() : QString();
}

SettingText setSettingText(Settings& settings, const QString& name, const QString& text) {
  const Field* f = findField(name);
  if (!f) return SettingText::UnknownName;
  const QVariant v(text);
  const bool valid = std::visit(
      [&](auto ptr) {
        using T = std::remove_reference_t<decltype(settings.*ptr)>;
        if constexpr (std::is_same_v<T, std::optional<int>>) {
          if (text.trimmed().isEmpty()) {
            settings.*ptr = std::nullopt;
            return true;
          }
          return toInt(v).has_value();
        } else if constexpr (std::is_same_v<T, int>) {
          return toInt(v).has_value();
        } else if constexpr (std::is_same_v<T, bool>) {
          return toBool(v).has_value();
        } else if constexpr (std::is_same_v<T, double>) {
          return toDouble(v).has_value();
        } else {
          return true;
        }
      },
      f->member);
  if (!valid) return SettingText::NotAValue;
  if (!text.trimmed().isEmpty() || std::holds_alternative<QString Settings::*>(f->member))
    readInto(settings, f->member, v);
  return SettingText::Done;
}

Settings Settings::defaults(const QString& dataDirectory) {
  Settings s;
  s.portfolioPath = dataDirectory + QStringLiteral("Port/");
  s.pricePath = dataDirectory + QStringLiteral("Prices/");
  return s;
}

Settings Settings::load(const SettingsStore& store, const QString& dataDirectory,
                        QStringList* reset) {
  Settings s = defaults(dataDirectory);
  const Settings d = defaults(dataDirectory);
  for (const Field& f : kFields) {
    const QVariant v = store.value(QLatin1String(f.section), QLatin1String(f.name));
    if (!v.isValid()) continue;
    // A value that cannot be read as its kind, or read but not used (a
    // language none of the three, a width of a billion), takes its default
    // and is named, so the user hears which settings were reset.
    const QString text = v.toString();
    // An empty value is a missing one, as it always was.
    if (text.trimmed().isEmpty() && !std::holds_alternative<QString Settings::*>(f.member))
      continue;
    Settings read = s;
    const bool isText = std::holds_alternative<QString Settings::*>(f.member);
    if (!isText && setSettingText(read, fullName(f), text) != SettingText::Done) {
      if (reset) reset->append(fullName(f));
      continue;
    }
    readInto(read, f.member, v);
    if (!usable(read, f)) {
      if (reset) reset->append(fullName(f));
      continue;
    }
    s = read;
  }
  // An empty folder setting also takes its default; a relative one is taken
  // in the data directory, so it does not move with the working folder.
  for (QString Settings::*folder : {&Settings::portfolioPath, &Settings::pricePath}) {
    QString& path = s.*folder;
    if (path.trimmed().isEmpty()) {
      path = d.*folder;
    } else if (QDir::isRelativePath(path)) {
      path = QDir::cleanPath(QDir(dataDirectory).absoluteFilePath(path)) + u'/';
    }
  }
  // A list whose source was never chosen keeps a service address the user
  // named before sources could be chosen.
  if (!store.value(QStringLiteral("Download"), QStringLiteral("DutchSource")).isValid() &&
      s.dutchPriceService != d.dutchPriceService)
    s.dutchSource = SourceId::DutchService;
  if (!store.value(QStringLiteral("Download"), QStringLiteral("USSource")).isValid() &&
      s.usPriceService != d.usPriceService)
    s.usSource = SourceId::UsService;
  return s;
}

void Settings::save(SettingsStore& store) const {
  for (const Field& f : kFields) {
    if (const auto v = stored(*this, f.member))
      store.setValue(QLatin1String(f.section), QLatin1String(f.name), *v);
  }
}

QString dataDirectory() {
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      QStringLiteral("/Pelmar/");
  // Made when missing. A folder that cannot be made is not reported here:
  // the first copy or save into it fails with its own message.
  (void)QDir().mkpath(dir);
  return dir;
}

}  // namespace pelmar
