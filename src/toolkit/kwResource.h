#pragma once

#include <memory>
#include <string>

class callDLLcl;

// Fetches named resources compiled into the program (Qt's resource system: a
// resource of type T named N lives at ":/T/N"), by type and name without regard
// to case, and can write the last one fetched to a file.
class kwResource {
 public:
  struct ResourceInfo {
    std::string SDATA;
    unsigned long DWSIZE = 0;
  };

  kwResource();
  ~kwResource();
  kwResource(const kwResource&) = delete;
  kwResource& operator=(const kwResource&) = delete;

  // modulePath: the program's own path, or a resource library to load first.
  void Init(const std::string& modulePath, unsigned char debug);
  // Size in bytes, 0 when there is no such resource (RESOURCEINFO then unchanged).
  unsigned long LoadResourceByName(const std::string& name, const std::string& type);
  unsigned long LoadImage(const std::string& name) { return LoadResourceByName(name, "IMAGE"); }
  void SaveResource(const std::string& fileName) const;

  unsigned char BYDEBUG = 0;
  std::string SZDLLNAME;
  std::string SAPPLICATIONIMAGE;
  std::string SAPPLICATIONBANNER;
  std::string SAPPLICATIONICON;
  ResourceInfo RESOURCEINFO;
  std::unique_ptr<callDLLcl> CALLDLL;

 private:
  void Debug(const std::string& caption, const std::string& text) const;
};
