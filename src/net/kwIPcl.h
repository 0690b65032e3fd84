#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/AdapterEntry.h"

class kwFile;
class TemporaryAddressPrompt;

// The program's network class: the computer's adapters (ADAPTERQ), the ARP
// lookup of the ARP scan worker, and the IPv4 addresses the program added to an
// adapter (NEWADDRESSQ). Construction is cheap: nothing is read from the system
// until GetAdapters. An instance belongs to one thread: the main window's, or
// one ARP worker's for its single lookup.
class kwIPcl {
 public:
  // Shown when addresses stay on the adapter after the person was asked.
  static constexpr const char* kAddressesRemainText =
      "The IP address(es) added will remain active until the network adapter is reset or your PC rebooted.";
  static constexpr const char* kAddressesRemainCaption = "Attention";

  kwIPcl();
  ~kwIPcl();
  kwIPcl(const kwIPcl&) = delete;
  kwIPcl& operator=(const kwIPcl&) = delete;

  // Removes every recorded address the system lets go; those it keeps stay
  // recorded. Always 0.
  unsigned char RemoveAllAddresses();
  // The address bytes of an IPv4 socket address (the first `size` bytes of it,
  // at most 16) as dotted text.
  std::string SockAddrToText(std::size_t size, const void* socketAddress) const;
  // GetMACAddress into destination (at most size - 1 characters, NUL-terminated);
  // 1 when a MAC address was stored.
  unsigned char HasMACAddress(const std::string& target, char* destination, std::size_t size, unsigned char separators);
  std::string GetMACAddress(const std::string& target, unsigned char separators);
  // ask 0: removes every recorded address without asking. Otherwise the
  // installed prompt asks; without one nothing is removed and the person is
  // told that the addresses remain.
  void RemoveTemporaryAddresses(unsigned char ask);
  // Adds address/mask to the current adapter (useAdapterMask: the adapter's own
  // mask instead). 1 when added; 0 without CAP_NET_ADMIN, for text that is no
  // address or no contiguous mask, or when the system refuses.
  unsigned char AddTemporaryAddress(const std::string& address, const std::string& mask, unsigned char useAdapterMask);
  void GetAdapters(unsigned char includeWireless);
  void FreeAdapters();

  // The current ADAPTERQ entry: the first after GetAdapters, then the one the
  // main window selects; nullptr when the list is empty.
  AdapterEntry* CurrentAdapter();
  bool SelectAdapter(std::size_t position);
  // Removes one recorded address (the prompt's "Delete"); 1 when it went.
  unsigned char RemoveTemporaryAddress(std::size_t position);
  void SetRemovalPrompt(TemporaryAddressPrompt* prompt) { prompt_ = prompt; }

  struct TriggerSettings {
    std::string SZIPADDRESS;
    long DWPORT = 0;
    std::string SZCMDON;
    std::string SZCMDOFF;
    long DWCMDDELAY = 0;
    long DWHHTP = 0;
    long DWTEST = 0;
  };

  unsigned char BYCAPTUREMODE = 0;
  unsigned char BYDEBUG = 0;
  long DWTHREAD = 0;
  // The listener and trigger fields belong to a server nothing starts.
  unsigned char BYSERVERENABLED = 0;
  long DWSERVEREVENTS = 0;
  long DWSERVERMAXCONNECTIONS = 0;
  long DWCLIENTTIMEOUT = 0;
  long HSERVER = 0;
  long HCLIENT = 0;
  std::string SCLIENTIPV4;
  std::string SWELCOMEMSG;
  std::vector<AdapterEntry> ADAPTERQ;
  std::vector<TemporaryAddress> NEWADDRESSQ;
  std::string SRX;
  long DWRX = 0;
  std::unique_ptr<kwFile> MYFILE;
  long DWNOTIFYCODE = 0;
  long DWNOTIFYTHREAD = 0;
  long DWNOTIFYSOCKET = 0;
  long HTIMER = 0;
  long HTIMERQ = 0;  // no timer is ever placed on it, so none is made
  void* WINREF = nullptr;
  long DWOLDUSERDATA = 0;
  long DWOLDWNDPROC = 0;
  TriggerSettings TRIGGERINFO;

 private:
  std::optional<std::size_t> current_;
  TemporaryAddressPrompt* prompt_ = nullptr;
};
