#include "toolkit/callDLLcl.h"

#include <dlfcn.h>
#include <sys/utsname.h>

#include <cstdint>
#include <sstream>

#include "toolkit/MessageService.h"
#include "toolkit/kwTools.h"

namespace {
constexpr const char* kDebugCaption = "callDLLcl Debug = On";

std::string HandleText(void* handle) { return std::to_string(reinterpret_cast<std::uintptr_t>(handle)); }

std::string LastLoaderError() {
  const char* e = ::dlerror();
  return e ? e : "none";
}
}  // namespace

callDLLcl::callDLLcl() = default;

callDLLcl::~callDLLcl() {
  Kill();
  ADDRESSQ.clear();
}

unsigned char callDLLcl::SetProcFailValue(long value) {
  EPROCFAIL = value;
  return 0;
}

unsigned char callDLLcl::Load(const std::string& libraryName, unsigned char debug) {
  // A second Load on the same object must not leave cached addresses pointing
  // into a library that is no longer mapped.
  Kill();
  ADDRESSQ.clear();
  SDLLNAME = kwTools::Cut(libraryName, 255);
  EPROCFAIL = 0;
  DEBUG = debug;
  if (libraryName.empty()) {
    IGNOREHDLL = 1;
    return 0;
  }
  IGNOREHDLL = 0;
  const std::string fileName = kwTools::Cut(kwTools::Clip(libraryName), 259);

  if (DEBUG == 1) {
    struct utsname u {};
    if (::uname(&u) == 0) {
      MessageService::Show(std::string("callDLLcl Debug: uname..||sysname = ") + u.sysname + "|release = " + u.release +
                               "|version = " + u.version + "|machine = " + u.machine + "||DLL to Load = " + fileName,
                           kDebugCaption);
    }
  }
  // RTLD_LOCAL keeps the library's symbols to this handle, so two libraries that
  // happen to export the same name never resolve into each other.
  HDLL = ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!HDLL) {
    ReportError("dlopen Failed : " + fileName);
    return 3;
  }
  if (DEBUG) {
    MessageService::Show("callDLLcl Debug: ||DLL Handle = " + HandleText(HDLL) + "|DLL Loaded = " + fileName,
                         kDebugCaption);
  }
  return 0;
}

long callDLLcl::GetAddress(const std::string& functionName) {
  if (!HDLL && !IGNOREHDLL) {
    ReportError("Get Address called before a dll is loaded!!!");
    return EPROCFAIL;
  }
  const std::string key = kwTools::Clip(kwTools::Cut(functionName, 120));
  if (const auto found = ADDRESSQ.find(key); found != ADDRESSQ.end()) return found->second;
  if (IGNOREHDLL) return EPROCFAIL;

  ::dlerror();
  void* symbol = ::dlsym(HDLL, kwTools::Cut(key, 79).c_str());
  if (!symbol) {
    ReportError("get adress failed for " + functionName);
    return EPROCFAIL;
  }
  const long address = static_cast<long>(reinterpret_cast<std::intptr_t>(symbol));
  ADDRESSQ.emplace(key, address);
  return address;
}

void callDLLcl::ReportError(const std::string& text) {
  ERRORSTR = kwTools::Cut(text, 256);
  if (DEBUG) MessageService::Show(text + "||dlerror = " + LastLoaderError(), kDebugCaption);
}

void callDLLcl::Kill() {
  if (BYSKIPLOADDLL) return;
  if (HDLL && !IGNOREHDLL) {
    if (DEBUG) {
      MessageService::Show("FreeLibrary .. |sDLL = " + SDLLNAME + "|hDLL = " + HandleText(HDLL), "callDLL.Kill");
    }
    const bool freed = ::dlclose(HDLL) == 0;
    if (DEBUG) {
      MessageService::Show(freed ? "FreeLibrary Successful||DLL Unloaded = " + SDLLNAME
                                 : "FreeLibrary Failed, GetLastError = " + LastLoaderError(),
                           "callDLL.Kill");
    }
  }
  HDLL = nullptr;
}
