#include "scan/ScanWorker.h"

#include <unistd.h>

#include <cstring>

#include "scan/ScanNotifier.h"
#include "scan/ScanProbe.h"
#include "scan/ScanSlot.h"

void ScanWorker::Run(ScanSlot* slot, Method method, ScanProbe& probe) {
  // The shared slot is touched by two whole-record copies only: one in, one out.
  ScanSlot mine;
  std::memcpy(&mine, slot, sizeof mine);
  mine.SZTARGETIPV4[sizeof mine.SZTARGETIPV4 - 1] = '\0';

  char mac[ScanProbe::kMacSize] = {};
  bool found = false;
  if (method == Method::Ping) {
    found = probe.Ping(mine.SZTARGETIPV4, mac);
  } else {
    // An ARP answer is a hardware address; "found" without one would be a lie.
    found = probe.Arp(mine.SZTARGETIPV4, mac) && mac[0] != '\0';
  }
  if (found) {
    mine.BYRESULT = 1;
    std::memcpy(mine.SZMACADDRESS, mac, sizeof mine.SZMACADDRESS);
    mine.SZMACADDRESS[sizeof mine.SZMACADDRESS - 1] = '\0';
    std::memcpy(slot, &mine, sizeof mine);
  }
  ScanNotifier::Instance().Notify(ScanNotifier::kSweepAnswer, static_cast<long>(::gettid()), mine.DWINSTANCE);
}
