#pragma once

#include <string>
#include <vector>

class DataFile;

// Bookkeeping for files a component opens or makes on its own: it closes exactly
// the data files it opened (never one somebody else had open) and deletes the
// temporary files registered with it, both when it is destroyed.
class kwFile {
 public:
  struct NativeFile {
    DataFile* THEFILE = nullptr;
    unsigned char BYOPEN = 0;  // 1: opened here, 2: was already open, 0: the open failed
  };

  kwFile();
  ~kwFile();
  kwFile(const kwFile&) = delete;
  kwFile& operator=(const kwFile&) = delete;

  unsigned char BYDEBUG = 0;

  // Opens file read-only, shared with everybody. True when it is open afterwards.
  bool OpenFile(DataFile& file);
  void TempFileQAddEntry(const std::string& fileName);
  void Destruct();

  const std::vector<NativeFile>& NativeFileQ() const { return nativeFileQ_; }
  const std::vector<std::string>& TempFileQ() const { return tempFileQ_; }

 private:
  void Debug(const std::string& step, const std::string& text) const;

  std::vector<NativeFile> nativeFileQ_;
  std::vector<std::string> tempFileQ_;
  bool destructed_ = false;
};
