#pragma once

#include <string>

// Turns an icon name of a menu item into an image file. The program's menus
// carry no icons, so this manager knows no names: every name is unknown and
// the caller falls back to the name itself. The icon store the manager would
// read ("kwIcon.tps" beside the program) is therefore never opened, and a
// missing store is not an error.
class kwIconCL {
 public:
  // Empty text: the name is not known.
  std::string IconFile(const std::string& iconName) const;
};
