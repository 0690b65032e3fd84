#pragma once

#include "net/TemporaryAddressPrompt.h"

// Puts the "Remove Temporary IP Addresses" window behind kwIPcl's question.
class RemoveAddressesPrompt : public TemporaryAddressPrompt {
 public:
  void Ask(kwIPcl& addresses) override;
};
