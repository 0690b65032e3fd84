#include "toolkit/kwFile.h"

#include <algorithm>

#include "toolkit/DataFile.h"
#include "toolkit/MessageService.h"
#include "toolkit/kwTools.h"

kwFile::kwFile() = default;

kwFile::~kwFile() { Destruct(); }

void kwFile::Debug(const std::string& step, const std::string& text) const {
  if (BYDEBUG) MessageService::Show(text, "kwFile." + step);
}

bool kwFile::OpenFile(DataFile& file) {
  auto entry =
      std::find_if(nativeFileQ_.begin(), nativeFileQ_.end(), [&](const NativeFile& f) { return f.THEFILE == &file; });
  if (entry == nativeFileQ_.end()) entry = nativeFileQ_.insert(nativeFileQ_.end(), NativeFile{&file, 0});

  file.Open(DataFile::kReadOnlyDenyNone);
  if (file.ErrorCode() == 0) {
    entry->BYOPEN = 1;
    return true;
  }
  if (file.ErrorCode() == DataFile::kAlreadyOpen) {
    // Somebody else's open file: recorded so that Destruct leaves it open.
    if (entry->BYOPEN != 1) entry->BYOPEN = 2;
    return true;
  }
  return false;
}

void kwFile::TempFileQAddEntry(const std::string& fileName) {
  Debug("TempFileQAddEntry", "Add TempFileQ Entry = " + fileName);
  const std::string name = kwTools::Clip(fileName);
  if (std::find(tempFileQ_.begin(), tempFileQ_.end(), name) == tempFileQ_.end()) tempFileQ_.push_back(name);
}

void kwFile::Destruct() {
  if (destructed_) return;
  destructed_ = true;
  for (const std::string& name : tempFileQ_) {
    Debug("Destruct", "Delete temp file .. " + name);
    kwTools::DeleteFileSilently(name);
  }
  tempFileQ_.clear();
  Debug("Destruct", "Destruct|NativeFileQ Entries = " + std::to_string(nativeFileQ_.size()));
  for (auto it = nativeFileQ_.rbegin(); it != nativeFileQ_.rend(); ++it) {
    Debug("Destruct", "Destruct|NativeFileQ .. " + it->THEFILE->Name() + "|byOpen = " + std::to_string(it->BYOPEN));
    if (it->BYOPEN == 1) it->THEFILE->Close();
  }
  nativeFileQ_.clear();
}
