#include "net/MacText.h"

#include "toolkit/kwTools.h"

std::string MacText::Format(std::span<const std::uint8_t> address, bool separators) {
  const kwTools tools;
  std::string text;
  for (std::size_t i = 0; i < address.size(); ++i) {
    if (separators && i > 0) text += ':';
    text += tools.ByteToHex(address[i]);
  }
  return text;
}
