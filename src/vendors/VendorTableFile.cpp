#define ZLIB_CONST
#include "vendors/VendorTableFile.h"

#include <zlib.h>

#include <QtGlobal>
#include <algorithm>
#include <climits>

#include "toolkit/kwResource.h"

namespace {
// zlib does not record the inflated size. The table packs to about a sixth of
// its size, so eight times the packed bytes is nearly always one pass; the
// buffer doubles when it fills. A stream that inflates beyond the cap is not
// one of ours.
constexpr std::size_t kFirstGuessFactor = 8;
constexpr std::size_t kSmallestBuffer = 64 * 1024;
constexpr std::size_t kLargestTable = 256 * 1024 * 1024;
}  // namespace

VendorTableFile::VendorTableFile(std::string resourceName)
    : resourceName_(std::move(resourceName)), file_(Layout(), std::string(kDeclaredName)) {
  // The packed table is compiled into the vendors library; naming its
  // registration here makes the linker keep it in every program that uses this
  // class, where it registers itself before main.
  Q_INIT_RESOURCE(vendors);
}

VendorTableFile::~VendorTableFile() { Release(); }

DataFileLayout VendorTableFile::Layout() {
  return {"VendorTable", {{"SID", 9}, {"SVENDOR", 64}}, "PKID", {"SID"}, false};
}

void VendorTableFile::Prepare() {
  if (Start()) {
    // The loader and its copy of the bytes are gone before the file is opened.
    kwResource resources;
    if (resources.LoadImage(resourceName_) != 0) Unpack(resources.RESOURCEINFO.SDATA);
  }
  Open();
}

void VendorTableFile::Prepare(std::string_view packed) {
  if (Start()) Unpack(packed);
  Open();
}

bool VendorTableFile::Start() {
  Release();
  prepared_ = true;
  openResult_ = 0;
  // GetTempPath has already told the user when the private folder is unusable
  // (a link, or somebody else's). Falling back to a path beside the program
  // would let an elevated instance write there, so the table stays unpacked
  // and only the maker's labels remain.
  const std::string folder = tools_.GetTempPath();
  path_ = folder.empty() ? std::string() : tools_.BuildPath(folder, kFileName);
  if (path_.empty()) return false;
  file_.SetName(path_);
  kwTools::DeleteFileSilently(path_);
  return true;
}

void VendorTableFile::Unpack(std::string_view packed) {
  const std::string table = Inflate(packed);
  if (table.empty()) return;
  // Exactly the inflated bytes: the last page of a database may well end in
  // spaces, and cutting them would damage the file.
  if (tools_.SaveToFile(table, path_)) file_.SetName(path_);
}

void VendorTableFile::Open() {
  if (path_.empty()) return;
  openResult_ = tools_.OpenDataFile(file_, DataFile::kReadWriteDenyNone, false, false);
}

void VendorTableFile::Release() {
  if (!prepared_) return;
  tools_.CloseDataFile(file_, openResult_);
  kwTools::DeleteFileSilently(path_);
  openResult_ = 0;
  prepared_ = false;
}

std::string VendorTableFile::Inflate(std::string_view packed) {
  if (packed.empty() || packed.size() > UINT_MAX) return {};
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return {};
  stream.next_in = reinterpret_cast<const Bytef*>(packed.data());
  stream.avail_in = static_cast<uInt>(packed.size());

  std::string out(std::min(std::max(packed.size() * kFirstGuessFactor, kSmallestBuffer), kLargestTable), '\0');
  int rc = Z_OK;
  while (rc == Z_OK) {
    if (stream.total_out == out.size()) {
      if (out.size() >= kLargestTable) break;
      out.resize(std::min(out.size() * 2, kLargestTable));
    }
    const std::size_t done = stream.total_out;
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + done);
    stream.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - done, UINT_MAX));
    // Z_BUF_ERROR here means the input ran out before the stream's end: a
    // truncated resource, which counts as damaged.
    rc = inflate(&stream, Z_NO_FLUSH);
  }
  const bool complete = rc == Z_STREAM_END;
  out.resize(complete ? stream.total_out : 0);
  inflateEnd(&stream);
  return out;
}
