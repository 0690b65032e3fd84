#include "net/DNSQuerycl.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <span>
#include <string_view>

#include "net/DnsAnswer.h"
#include "toolkit/MessageService.h"
#include "toolkit/callDLLcl.h"
#include "toolkit/kwTools.h"

namespace {
constexpr std::size_t kMaxName = 127;
constexpr int kClassIn = 1;
constexpr int kTypeA = 1;
constexpr long kNoFunction = -2;

// Only names that could be on the wire as typed: printable ASCII without
// spaces, in labels of 1 to 63 characters. A NUL would cut the name short and
// query somebody else.
bool CanBeQueried(const std::string& name) {
  if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 0x7F; })) {
    return false;
  }
  std::string_view rest = name;
  if (rest.back() == '.') rest.remove_suffix(1);  // fully qualified
  for (std::size_t start = 0;;) {
    const std::size_t dot = rest.find('.', start);
    const std::size_t length = (dot == std::string_view::npos ? rest.size() : dot) - start;
    if (length == 0 || length > 63) return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

std::string Readable(const std::string& name) { return name.substr(0, name.find('\0')); }
}  // namespace

DNSQuerycl::DNSQuerycl() : DNSQuerycl(kLibraryName) {}

DNSQuerycl::DNSQuerycl(const std::string& libraryName) : MYDLL(std::make_unique<callDLLcl>()) {
  if (MYDLL->Load(libraryName, 0) == 0) MYDLL->SetProcFailValue(kNoFunction);
}

DNSQuerycl::~DNSQuerycl() = default;

long DNSQuerycl::QueryA(const std::string& name, unsigned char showError) {
  std::string lower = kwTools::Clip(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower.size() > kMaxName) lower.resize(kMaxName);

  // Without the library there is nothing to ask and nothing to tell.
  if (!MYDLL->HDLL) return 0;

  std::array<unsigned char, 4096> answer{};
  int length = -1;
  if (CanBeQueried(lower)) {
    // glibc before 2.34 exports the function only under its internal name.
    const char* function = MYDLL->GetAddress("res_query") == MYDLL->EPROCFAIL ? "__res_query" : "res_query";
    length = MYDLL->CallProc<int, const char*, int, int, unsigned char*, int>(
        function, lower.c_str(), kClassIn, kTypeA, answer.data(), static_cast<int>(answer.size()));
  }
  if (length < 0) {
    if (showError == 1) {
      MessageService::Show("DNS Query: " + Readable(lower) + "|Query Failed, an error occured so result is unknown",
                           "QueryA");
    }
    return 0;
  }
  const auto a = DnsAnswer::FirstA(
      std::span<const std::uint8_t>(answer.data(), std::min(static_cast<std::size_t>(length), answer.size())));
  return a ? static_cast<long>(*a) : 0;
}
