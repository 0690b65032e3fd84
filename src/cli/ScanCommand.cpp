#include "cli/ScanCommand.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <cstdio>

#include "net/Ipv4Text.h"
#include "scan/IPv4.h"
#include "toolkit/kwTools.h"

namespace {
bool Number(const std::string& text, long low, long high, long& out) {
  long value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || value < low || value > high) return false;
  out = value;
  return true;
}

std::string Csv(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}
}  // namespace

std::string ScanCommand::Usage() {
  return "usage: vantrel-scan [--method ping|arp] [--count N] [--pace MS] [--new-since FILE]\n"
         "                    [--makers-only] [--format table|csv|json] START_ADDRESS\n"
         "Sweeps START_ADDRESS and the addresses after it in its /24 (by default up to .254)\n"
         "and prints every device that answered.\n";
}

std::optional<ScanCommand::Options> ScanCommand::Parse(const std::vector<std::string>& args, std::string& error) {
  Options o;
  bool countGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string v;
    long n = 0;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--method") {
      if (!value(v)) return std::nullopt;
      if (v == "ping") o.method = 1;
      else if (v == "arp") o.method = 2;
      else return error = "--method takes ping or arp, not '" + v + "'", std::nullopt;
    } else if (a == "--count") {
      if (!value(v)) return std::nullopt;
      if (!Number(v, 1, 254, n)) return error = "--count takes a number from 1 to 254, not '" + v + "'", std::nullopt;
      o.count = n;
      countGiven = true;
    } else if (a == "--pace") {
      if (!value(v)) return std::nullopt;
      if (!Number(v, 0, 10, n)) return error = "--pace takes milliseconds from 0 to 10, not '" + v + "'", std::nullopt;
      o.paceMs = static_cast<int>(n);
    } else if (a == "--new-since") {
      if (!value(o.newSince)) return std::nullopt;
    } else if (a == "--makers-only") {
      o.makersOnly = true;
    } else if (a == "--format") {
      if (!value(v)) return std::nullopt;
      if (v == "table") o.format = Format::Table;
      else if (v == "csv") o.format = Format::Csv;
      else if (v == "json") o.format = Format::Json;
      else return error = "--format takes table, csv or json, not '" + v + "'", std::nullopt;
    } else if (a.rfind("-", 0) == 0 && a.size() > 1) {
      return error = "unknown option " + a, std::nullopt;
    } else if (o.start.empty()) {
      o.start = a;
    } else {
      return error = "one start address only ('" + a + "' is one too many)", std::nullopt;
    }
  }
  if (o.help) return o;
  if (o.start.empty()) return error = "a start address is needed (for example 10.77.0.1)", std::nullopt;
  if (!Ipv4Text::Parse(o.start)) return error = "'" + o.start + "' is not a dotted IPv4 address", std::nullopt;
  if (!countGiven) o.count = 255 - IPv4::ParseIPv4(o.start)[3];
  return o;
}

std::string ScanCommand::Render(const std::vector<DeviceRow>& rows, Format format) {
  std::string out;
  switch (format) {
    case Format::Table:
      out = Padded("IP Address", 17) + Padded("MAC Address", 19) + Padded("Maker", 7) + "Description\n";
      for (const DeviceRow& r : rows) {
        out += Padded(r.SIPADDRESS, 17) + Padded(r.SMAC.empty() ? "-" : r.SMAC, 19) +
               Padded(r.BYQUARNEL_ITEM ? "yes" : "no", 7) + kwTools::Clip(r.SVENDOR) + "\n";
      }
      break;
    case Format::Csv:
      out = "ip,mac,description,maker\r\n";
      for (const DeviceRow& r : rows) {
        out += Csv(r.SIPADDRESS) + "," + Csv(r.SMAC) + "," + Csv(kwTools::Clip(r.SVENDOR)) + "," +
               (r.BYQUARNEL_ITEM ? "true" : "false") + "\r\n";
      }
      break;
    case Format::Json:
      out = "[";
      for (std::size_t i = 0; i < rows.size(); ++i) {
        const DeviceRow& r = rows[i];
        out += (i ? ",\n " : "\n ");
        out += "{\"ip\": " + Json(r.SIPADDRESS) + ", \"mac\": " + Json(r.SMAC) +
               ", \"description\": " + Json(kwTools::Clip(r.SVENDOR)) +
               ", \"maker\": " + (r.BYQUARNEL_ITEM ? "true" : "false") + "}";
      }
      out += rows.empty() ? "]\n" : "\n]\n";
      break;
  }
  return out;
}

bool ScanCommand::ReadDeviceList(const std::string& path, std::vector<DeviceRow>& rows, std::string& error) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    error = "cannot read " + path + ": " + file.errorString().toStdString();
    return false;
  }
  QJsonParseError parse{};
  const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
  if (parse.error != QJsonParseError::NoError || !doc.isArray()) {
    error = path + " is not a device list (a JSON array written by --format json)";
    return false;
  }
  rows.clear();
  for (const QJsonValue v : doc.array()) {
    const QJsonObject o = v.toObject();
    const std::string ip = o.value(QStringLiteral("ip")).toString().toStdString();
    if (!v.isObject() || !Ipv4Text::Parse(ip) || !o.value(QStringLiteral("mac")).isString()) {
      error = path + " is not a device list: every entry needs an \"ip\" and a \"mac\"";
      return false;
    }
    DeviceRow row;
    row.SetAddress(ip);
    row.SMAC = o.value(QStringLiteral("mac")).toString().toStdString();
    row.SVENDOR = o.value(QStringLiteral("description")).toString().toStdString();
    row.BYQUARNEL_ITEM = o.value(QStringLiteral("maker")).toBool() ? 1 : 0;
    rows.push_back(std::move(row));
  }
  return true;
}
