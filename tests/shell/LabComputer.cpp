#include "LabComputer.h"

#include <cstdint>
#include <string>
#include <vector>

#include "net/AdapterReader.h"
#include "support/LabSession.h"

bool OnTheLabComputer() {
  std::vector<std::uint8_t> labMac;
  const std::string& mac = LabSession::Topology().computer.mac;
  for (std::size_t i = 0; i + 1 < mac.size(); i += 3) {
    labMac.push_back(static_cast<std::uint8_t>(std::stoi(mac.substr(i, 2), nullptr, 16)));
  }
  for (const AdapterRecord& r : AdapterReader::ReadAll()) {
    if (r.systemName == "eth0" && r.hardwareAddress == labMac) return true;
  }
  return false;
}
