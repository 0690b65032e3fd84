#pragma once

#include <map>
#include <string>

// Loads one shared library at run time, resolves its functions by name (each
// address cached) and calls them. Each user owns its own object; one object
// serves one library and frees exactly the handle it loaded.
class callDLLcl {
 public:
  callDLLcl();
  ~callDLLcl();
  callDLLcl(const callDLLcl&) = delete;
  callDLLcl& operator=(const callDLLcl&) = delete;

  unsigned char SetProcFailValue(long value);
  // 0: loaded, or nothing to load (empty name); 3: the library could not be loaded.
  unsigned char Load(const std::string& libraryName, unsigned char debug);
  long GetAddress(const std::string& functionName);
  void ReportError(const std::string& text);
  void Kill();

  // Calls the named function with the given arguments, each passed at its own
  // native width. R and Args must match the function's real signature.
  // Returns EPROCFAIL (converted to R) when the function cannot be had.
  template <typename R = long, typename... Args>
  R CallProc(const std::string& functionName, Args... args) {
    const long address = GetAddress(functionName);
    if (address == 0 || address == EPROCFAIL) return static_cast<R>(EPROCFAIL);
    auto* function = reinterpret_cast<R (*)(Args...)>(address);
    return function(args...);
  }

  void* HDLL = nullptr;
  unsigned char DEBUG = 0;
  long APIERRORCODE = 0;
  std::map<std::string, long> ADDRESSQ;  // kept in name order
  long EPROCFAIL = 0;
  std::string ERRORSTR;
  unsigned char IGNOREHDLL = 0;
  unsigned char BYFORCELOADLIBRARY = 0;
  unsigned char BYSKIPLOADDLL = 0;
  std::string SDLLNAME;
};
