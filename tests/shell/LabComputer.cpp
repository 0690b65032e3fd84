#include "LabComputer.h"

#include <cstdint>
#include <vector>

#include "net/AdapterReader.h"

bool OnTheLabComputer() {
  const std::vector<std::uint8_t> labMac = {0x02, 0x77, 0x00, 0x00, 0x00, 0x02};
  for (const AdapterRecord& r : AdapterReader::ReadAll()) {
    if (r.systemName == "eth0" && r.hardwareAddress == labMac) return true;
  }
  return false;
}
