#include "support/LabTopology.h"

#ifndef VANTREL_SOURCE_DIR
#error "VANTREL_SOURCE_DIR must name the source tree (the topology lives there)"
#endif

#include <arpa/inet.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {
constexpr const char* kPath = VANTREL_SOURCE_DIR "/tools/lab-topology.json";

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "LabTopology: %s: %s\n", kPath, why.c_str());
  std::abort();
}

QJsonValue At(const QJsonObject& object, const char* key) { return object.value(QLatin1StringView(key)); }
QJsonObject Object(const QJsonObject& object, const char* key) { return At(object, key).toObject(); }
std::string Text(const QJsonObject& object, const char* key) { return At(object, key).toString().toStdString(); }

std::string FirstAddressOf(const std::string& address, int prefix) {
  in_addr a{};
  if (::inet_pton(AF_INET, address.c_str(), &a) != 1 || prefix < 1 || prefix > 30) Fail("bad address " + address);
  const std::uint32_t mask = ~std::uint32_t{0} << (32 - prefix);
  a.s_addr = htonl((ntohl(a.s_addr) & mask) + 1);
  char text[INET_ADDRSTRLEN]{};
  ::inet_ntop(AF_INET, &a, text, sizeof text);
  return text;
}
}  // namespace

const LabTopology& LabTopology::Get() {
  static const LabTopology topology = Load();
  return topology;
}

const LabTopology::Device& LabTopology::WebDevice() const {
  for (const Device& d : devices) {
    if (!d.webTitle.empty()) return d;
  }
  Fail("no device serves a web page");
}

LabTopology LabTopology::Load() {
  QFile file(QString::fromUtf8(kPath));
  if (!file.open(QIODevice::ReadOnly)) Fail(file.errorString().toStdString());
  QJsonParseError error{};
  const QJsonObject root = QJsonDocument::fromJson(file.readAll(), &error).object();
  if (error.error != QJsonParseError::NoError) Fail(error.errorString().toStdString());

  LabTopology t;
  const QJsonObject computer = Object(root, "computer"), router = Object(root, "router"), far = Object(root, "far"),
                    dns = Object(root, "dns");
  const QJsonObject eth0 = Object(computer, "eth0"), eth1 = Object(computer, "eth1"), lan = Object(router, "lan");
  t.computer = {Text(computer, "namespace"), Text(eth0, "address"), At(eth0, "prefix").toInt(),
                Text(eth0, "mac"),           Text(eth1, "address"), Text(eth1, "mac")};
  t.router = {Text(lan, "address"), Text(lan, "mac"), Text(Object(router, "wan"), "address")};
  t.far = {Text(Object(far, "eth0"), "address"), Text(Object(far, "eth0"), "mac")};
  t.unreachableAddress = Text(root, "unreachable_address");
  t.silentAddress = Text(root, "silent_address");
  t.firstAddress = FirstAddressOf(t.computer.address, t.computer.prefix);
  t.domain = Text(dns, "domain");

  for (const QJsonValue value : At(root, "devices").toArray()) {
    const QJsonObject d = value.toObject();
    t.devices.push_back({Text(d, "name"), Text(d, "ip"), Text(d, "mac"), Text(d, "hostname"),
                         At(d, "ignores_ping").toBool(), Text(Object(d, "web"), "title"), At(d, "maker").toBool(),
                         Text(d, "expect")});
  }
  if (t.devices.empty() || t.computer.address.empty() || t.router.address.empty()) Fail("incomplete");

  // Every machine's hostname has an A (and a PTR) record; then the A-only
  // names; then the aliases, followed to where they lead.
  std::map<std::string, std::string> records;
  const auto add = [&](const std::string& name, const std::string& address) {
    if (name.empty()) return;
    records[name] = address;
    t.names.push_back({name, address, false});
  };
  add(Text(computer, "hostname"), t.computer.address);
  add(Text(router, "hostname"), t.router.address);
  add(Text(far, "hostname"), t.far.address);
  for (const Device& d : t.devices) add(d.hostname, d.ip);
  for (const QJsonValue a : At(dns, "a_only").toArray()) add(Text(a.toObject(), "name"), Text(a.toObject(), "address"));
  std::map<std::string, std::string> aliases;
  const QJsonArray cnames = At(dns, "cnames").toArray();
  for (const QJsonValue c : cnames) aliases[Text(c.toObject(), "name")] = Text(c.toObject(), "target");
  for (const QJsonValue c : cnames) {
    const std::string alias = Text(c.toObject(), "name");
    std::string target = alias;
    for (std::size_t hops = 0; aliases.count(target) && hops <= aliases.size(); ++hops) target = aliases[target];
    if (!records.count(target)) Fail("the alias " + alias + " leads nowhere");
    t.names.push_back({alias, records[target], true});
  }
  return t;
}
