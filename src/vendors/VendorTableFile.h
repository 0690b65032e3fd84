#pragma once

#include <string>
#include <string_view>

#include "toolkit/DataFile.h"
#include "toolkit/kwTools.h"

// The vendor table on disk. The program carries the table packed (a zlib
// stream of the whole SQLite file) as the IMAGE resource
// "Mac-Vendors-Compressed_dat"; Prepare unpacks it into the user's private
// temporary folder as "MAC-Vendors.tps" and opens it for VendorLookup, Release
// closes and deletes it. The copy on disk is scratch: an old one is replaced
// at every start.
//
// Contract: one owner (the main window, or the headless front end) creates,
// prepares, uses and releases it on one thread; the scan workers never touch
// it. Nothing here shows a message of its own. When the table cannot be
// unpacked or opened the file simply stays closed, every lookup misses, and
// only the maker's own devices are labelled.
class VendorTableFile {
 public:
  static constexpr std::string_view kResourceName = "Mac-Vendors-Compressed_dat";
  static constexpr std::string_view kFileName = "MAC-Vendors.tps";
  static constexpr std::string_view kDeclaredName = "Mac-Vendors.tps";

  // resourceName: the IMAGE resource holding the packed table (tests name others).
  explicit VendorTableFile(std::string resourceName = std::string(kResourceName));
  ~VendorTableFile();  // releases a table that is still prepared
  VendorTableFile(const VendorTableFile&) = delete;
  VendorTableFile& operator=(const VendorTableFile&) = delete;

  // Deletes whatever is at the path (a link itself, never its target), writes
  // the unpacked table there and opens it. Called once before the owner's
  // event loop; a second call releases the first.
  void Prepare();
  // The same, with the packed bytes in hand instead of the resource.
  void Prepare(std::string_view packed);
  // Closes the file (if Prepare opened it) and deletes it. Never reports anything.
  void Release();

  DataFile& File() { return file_; }
  // Full path of the scratch copy; empty when there was no private temporary folder.
  const std::string& Path() const { return path_; }
  // OpenDataFile's result: 0 not open, 1 opened by Prepare, 2 was already open.
  unsigned char OpenResult() const { return openResult_; }

  // The whole zlib stream inflated, exactly as long as the stream says; empty
  // when the stream is damaged, incomplete or unreasonably large.
  static std::string Inflate(std::string_view packed);
  static DataFileLayout Layout();

 private:
  bool Start();
  void Unpack(std::string_view packed);
  void Open();

  kwTools tools_;
  std::string resourceName_;
  DataFile file_;
  std::string path_;
  unsigned char openResult_ = 0;
  bool prepared_ = false;
};
