#pragma once

struct ScanSlot;
class ScanProbe;

// The body of one worker thread: copies its slot, probes the target, writes
// the slot back when the target was found, and notifies the controller with
// code 1302 and the slot number, found or not.
class ScanWorker {
 public:
  enum class Method { Ping = 1, Arp = 2 };
  static void Run(ScanSlot* slot, Method method, ScanProbe& probe);
};
