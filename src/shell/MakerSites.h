#pragma once

// Every web address the main window opens for the makers, in one place. The
// real sites are not ours to name; these stand under the reserved ".example"
// domain, one per maker family, and a deployment replaces them here.
struct MakerSites {
  static constexpr const char* kNorvex = "https://norvex.example/";
  static constexpr const char* kQuellon = "https://quellon.example/";
  static constexpr const char* kLumarc = "https://lumarc.example/";
  static constexpr const char* kDrizmo = "https://drizmo.example/";
  static constexpr const char* kHushden = "https://hushden.example/";
  static constexpr const char* kSendora = "https://sendora.example/";
  static constexpr const char* kQuarnelHome = "https://quarnel.example/";
  static constexpr const char* kQuarnelStore = "https://quarnel.example/store";
};
