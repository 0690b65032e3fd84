#pragma once

#include <string>

// The user's private scratch folder. The program may later run elevated, so a
// predictable name in a shared /tmp must never let another local user plant a
// symbolic link or a folder of their own there: the folder is created 0700 and
// refused unless it is a real folder owned by the caller.
class PrivateTempFolder {
 public:
  struct Result {
    std::string path;  // ends with "/"; empty on failure
    int error = 0;     // errno of the failing step
  };

  // $XDG_RUNTIME_DIR/vantrel/ when that is set, else ($TMPDIR or /tmp)/vantrel-UID/.
  static Result Locate();
  // The same checks for a folder named by the caller (tests use it).
  static Result Ensure(const std::string& folder);
};
