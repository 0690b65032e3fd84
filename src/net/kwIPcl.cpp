#include "net/kwIPcl.h"

#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "net/AdapterReader.h"
#include "net/AdapterSelection.h"
#include "net/InterfaceAddresses.h"
#include "net/Ipv4Text.h"
#include "net/MacText.h"
#include "net/NeighbourResolver.h"
#include "net/TemporaryAddressPrompt.h"
#include "toolkit/MessageService.h"
#include "toolkit/kwFile.h"
#include "toolkit/kwTools.h"

namespace {
constexpr std::size_t kAddressText = 19;
constexpr std::size_t kCallerAddress = 20;

// Addresses that cannot be a host's own: "this network", loopback, multicast
// and the reserved block up to the broadcast address.
bool IsHostAddress(std::uint32_t address) {
  const std::uint32_t a = ntohl(address);
  const std::uint32_t first = a >> 24;
  return first != 0 && first != 127 && first < 224;
}
}  // namespace

kwIPcl::kwIPcl()
    : DWTHREAD(static_cast<long>(::gettid())),
      BYSERVERENABLED(1),
      DWSERVERMAXCONNECTIONS(1),
      DWCLIENTTIMEOUT(5000),
      SWELCOMEMSG("-- Welcome! --"),
      MYFILE(std::make_unique<kwFile>()) {}

kwIPcl::~kwIPcl() {
  // The addresses themselves stay on the adapter: removing them is
  // RemoveTemporaryAddresses' job, before the owner destroys the object.
  MYFILE.reset();
  NEWADDRESSQ.clear();
  FreeAdapters();
}

std::string kwIPcl::SockAddrToText(std::size_t size, const void* socketAddress) const {
  sockaddr_in a{};
  if (socketAddress) std::memcpy(&a, socketAddress, std::min(size, sizeof a));
  return Ipv4Text::Format(a.sin_addr.s_addr);
}

void kwIPcl::GetAdapters(unsigned char includeWireless) {
  FreeAdapters();
  ADAPTERQ = AdapterSelection::Select(AdapterReader::ReadAll(), includeWireless != 0);
  if (!ADAPTERQ.empty()) current_ = 0;
}

void kwIPcl::FreeAdapters() {
  ADAPTERQ.clear();
  current_.reset();
}

AdapterEntry* kwIPcl::CurrentAdapter() {
  return current_ && *current_ < ADAPTERQ.size() ? &ADAPTERQ[*current_] : nullptr;
}

bool kwIPcl::SelectAdapter(std::size_t position) {
  if (position >= ADAPTERQ.size()) return false;
  current_ = position;
  return true;
}

std::string kwIPcl::GetMACAddress(const std::string& target, unsigned char separators) {
  const auto destination = Ipv4Text::ParseNumeric(target);
  if (!destination) return {};
  const auto mac = NeighbourResolver::Resolve(*destination);
  if (!mac) return {};
  return MacText::Format(*mac, separators != 0);
}

unsigned char kwIPcl::HasMACAddress(const std::string& target, char* destination, std::size_t size,
                                    unsigned char separators) {
  const std::string mac = GetMACAddress(target, separators);
  if (!destination || size == 0) return 0;
  const std::size_t n = std::min(mac.size(), size - 1);
  std::memcpy(destination, mac.data(), n);
  destination[n] = '\0';
  return kwTools::Clip(std::string_view(destination, n)).empty() ? 0 : 1;
}

unsigned char kwIPcl::AddTemporaryAddress(const std::string& address, const std::string& mask,
                                          unsigned char useAdapterMask) {
  if (kwTools().IsElevated() == 0) return 0;
  AdapterEntry* adapter = CurrentAdapter();
  if (!adapter) return 0;
  const std::string addressText = kwTools::Cut(kwTools::Clip(address), kAddressText);
  const std::string maskText = kwTools::Cut(useAdapterMask ? adapter->SZSUBNETMASK : kwTools::Clip(mask), kAddressText);

  const auto ip = Ipv4Text::ParseNumeric(addressText);
  const auto netmask = Ipv4Text::ParseNumeric(maskText);
  if (!ip || !netmask || !IsHostAddress(*ip)) return 0;
  const auto prefix = Ipv4Text::PrefixLength(*netmask);
  // A mask of 0 would make the whole internet this adapter's subnet.
  if (!prefix || *prefix == 0) return 0;

  const AddressHandle handle{static_cast<int>(adapter->DWIFINDEX), *ip, *prefix};
  if (!InterfaceAddresses::Add(handle)) return 0;
  NEWADDRESSQ.push_back(TemporaryAddress{kwTools::Cut(address, kCallerAddress), handle});
  adapter->IPADDRESSQ.push_back(addressText);
  return 1;
}

unsigned char kwIPcl::RemoveTemporaryAddress(std::size_t position) {
  if (position >= NEWADDRESSQ.size() || !InterfaceAddresses::Remove(NEWADDRESSQ[position].handle)) return 0;
  NEWADDRESSQ.erase(NEWADDRESSQ.begin() + static_cast<std::ptrdiff_t>(position));
  return 1;
}

unsigned char kwIPcl::RemoveAllAddresses() {
  for (std::size_t i = NEWADDRESSQ.size(); i-- > 0;) RemoveTemporaryAddress(i);
  return 0;
}

void kwIPcl::RemoveTemporaryAddresses(unsigned char ask) {
  if (NEWADDRESSQ.empty()) return;
  if (ask == 0) {
    RemoveAllAddresses();
    return;
  }
  if (prompt_) {
    prompt_->Ask(*this);
    return;
  }
  // Nobody to ask: a question left unanswered removes nothing.
  MessageService::Show(kAddressesRemainText, kAddressesRemainCaption, MessageIcon::Warning);
}
