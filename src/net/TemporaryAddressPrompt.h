#pragma once

class kwIPcl;

// Asks the person which of the addresses the program added should go (the
// "Remove Temporary IP Addresses" window). kwIPcl::RemoveTemporaryAddresses
// with a non-zero ask flag hands over to it, on the thread that owns the
// kwIPcl, only when there is something to remove. It acts through
// kwIPcl::RemoveTemporaryAddress and kwIPcl::RemoveAllAddresses, tells the
// person about addresses that stay, and returns when its window has closed.
// Not owned by the kwIPcl.
class TemporaryAddressPrompt {
 public:
  virtual ~TemporaryAddressPrompt() = default;
  virtual void Ask(kwIPcl& addresses) = 0;
};
