#include "toolkit/DataFile.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
std::string Quoted(const std::string& identifier) {
  std::string out = "\"";
  for (char c : identifier) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string Fit(const unsigned char* text, int bytes, std::size_t width) {
  std::string value =
      text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(bytes)) : std::string();
  value.resize(width, ' ');
  return value;
}

int CodeFor(int sqliteCode) {
  switch (sqliteCode & 0xFF) {
    case SQLITE_CORRUPT:
      return DataFile::kKeyFileDamaged;
    case SQLITE_NOTADB:
      return DataFile::kInvalidDeclaration;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return DataFile::kFileLocked;
    case SQLITE_PERM:
    case SQLITE_READONLY:
      return DataFile::kAccessDenied;
    case SQLITE_CANTOPEN:
      return DataFile::kNotFound;
    default:
      return DataFile::kOtherError;
  }
}
}  // namespace

DataFile::DataFile(DataFileLayout layout, std::string name)
    : layout_(std::move(layout)), name_(std::move(name)), record_(layout_.columns.size()) {
  for (std::size_t i = 0; i < record_.size(); ++i) record_[i].assign(layout_.columns[i].width, ' ');
}

DataFile::~DataFile() { Reset(); }

void DataFile::SetError(int code, std::string text) {
  error_ = code;
  errorText_ = std::move(text);
}

void DataFile::Reset() {
  if (fetch_) sqlite3_finalize(fetch_);
  fetch_ = nullptr;
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

void DataFile::Open(int accessMode) {
  if (IsOpen()) return SetError(kAlreadyOpen, "File Already Open");
  struct stat st {};
  if (::lstat(name_.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return SetError(kNotFound, "File Not Found");
    if (errno == EACCES) return SetError(kAccessDenied, "Access Denied");
    return SetError(kOtherError, std::strerror(errno));
  }
  // A link or a pipe planted at the name is no data file of ours: never follow
  // it, never block on it.
  if (!S_ISREG(st.st_mode)) return SetError(kInvalidDeclaration, "Not a regular file");
  const bool readOnly = (accessMode & 0x0F) == 0;
  // SQLite quietly falls back to read-only on a write-protected file; the program
  // asked for write access, so that is a refusal here.
  if (::faccessat(AT_FDCWD, name_.c_str(), readOnly ? R_OK : R_OK | W_OK, AT_EACCESS) != 0) {
    return SetError(errno == EACCES || errno == EROFS ? kAccessDenied : kOtherError, std::strerror(errno));
  }
  const int flags =
      (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW;
  int rc = sqlite3_open_v2(name_.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    SetError(CodeFor(rc), db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
    return Reset();
  }
  sqlite3_extended_result_codes(db_, 1);
  // Nothing is ever written through an open DataFile, so the shared lock taken by
  // the first read is kept until Close: each fetch then costs no lock and no
  // journal check, and other readers are not hindered.
  sqlite3_exec(db_, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
  if (!LayoutMatches()) return Reset();

  // A damaged tree would answer lookups wrongly or not at all; find it now.
  sqlite3_stmt* check = nullptr;
  rc = sqlite3_prepare_v2(db_, "PRAGMA quick_check(1)", -1, &check, nullptr);
  std::string verdict;
  if (rc == SQLITE_OK && sqlite3_step(check) == SQLITE_ROW) {
    verdict = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
  } else {
    rc = sqlite3_errcode(db_);
  }
  sqlite3_finalize(check);
  if (verdict != "ok") {
    SetError(kKeyFileDamaged, verdict.empty() ? sqlite3_errstr(rc) : verdict);
    return Reset();
  }

  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < layout_.columns.size(); ++i) sql += (i ? ", " : "") + Quoted(layout_.columns[i].name);
  sql += " FROM " + Quoted(layout_.table) + " WHERE ";
  for (std::size_t i = 0; i < layout_.keyColumns.size(); ++i) {
    sql += (i ? " AND " : "") + Quoted(layout_.keyColumns[i]) + " = ?" + std::to_string(i + 1);
  }
  rc = sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &fetch_, nullptr);
  if (rc != SQLITE_OK) {
    SetError(CodeFor(rc) == kOtherError ? kInvalidDeclaration : CodeFor(rc), sqlite3_errmsg(db_));
    return Reset();
  }
  SetError(0, {});
}

bool DataFile::LayoutMatches() {
  sqlite3_stmt* info = nullptr;
  const std::string sql = "SELECT name, pk FROM pragma_table_info(?1) ORDER BY cid";
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &info, nullptr);
  if (rc != SQLITE_OK) {
    SetError(CodeFor(rc), sqlite3_errmsg(db_));
    return false;
  }
  sqlite3_bind_text(info, 1, layout_.table.c_str(), -1, SQLITE_TRANSIENT);
  std::vector<std::string> names;
  std::vector<std::string> key(layout_.keyColumns.size());
  bool keyFits = true;
  while ((rc = sqlite3_step(info)) == SQLITE_ROW) {
    const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(info, 0));
    const int pk = sqlite3_column_int(info, 1);
    names.push_back(name);
    if (pk > 0) {
      if (static_cast<std::size_t>(pk) > key.size()) keyFits = false;
      else key[static_cast<std::size_t>(pk) - 1] = name;
    }
  }
  sqlite3_finalize(info);
  if (rc != SQLITE_DONE) {
    SetError(CodeFor(rc), sqlite3_errstr(rc));
    return false;
  }
  bool same = keyFits && key == layout_.keyColumns && names.size() == layout_.columns.size();
  for (std::size_t i = 0; same && i < names.size(); ++i) same = names[i] == layout_.columns[i].name;
  if (!same) SetError(kInvalidDeclaration, "Invalid Record Declaration");
  return same;
}

void DataFile::Create() {
  if (IsOpen()) return SetError(kAlreadyOpen, "File Already Open");
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(name_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc == SQLITE_OK) {
    std::string sql = "CREATE TABLE IF NOT EXISTS " + Quoted(layout_.table) + " (";
    for (const auto& c : layout_.columns) sql += Quoted(c.name) + " TEXT NOT NULL, ";
    sql += "CONSTRAINT " + Quoted(layout_.keyName) + " PRIMARY KEY (";
    for (std::size_t i = 0; i < layout_.keyColumns.size(); ++i) sql += (i ? ", " : "") + Quoted(layout_.keyColumns[i]);
    sql += ")) WITHOUT ROWID";
    rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  }
  if (rc != SQLITE_OK) {
    SetError(CodeFor(rc) == kNotFound ? kAccessDenied : CodeFor(rc), db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
  } else {
    SetError(0, {});
  }
  sqlite3_close_v2(db);
}

void DataFile::Close() {
  Reset();
  SetError(0, {});
}

bool DataFile::Fetch(const std::vector<std::string_view>& key) {
  if (!fetch_) {
    SetError(kNotOpen, "File Not Open");
    return false;
  }
  sqlite3_reset(fetch_);
  for (std::size_t i = 0; i < key.size() && i < layout_.keyColumns.size(); ++i) {
    sqlite3_bind_text(fetch_, static_cast<int>(i + 1), key[i].data(), static_cast<int>(key[i].size()), SQLITE_STATIC);
  }
  const int rc = sqlite3_step(fetch_);
  if (rc == SQLITE_ROW) {
    for (std::size_t i = 0; i < record_.size(); ++i) {
      const int col = static_cast<int>(i);
      record_[i] = Fit(sqlite3_column_text(fetch_, col), sqlite3_column_bytes(fetch_, col), layout_.columns[i].width);
    }
    sqlite3_reset(fetch_);
    SetError(0, {});
    return true;
  }
  sqlite3_reset(fetch_);
  if (rc == SQLITE_DONE) SetError(kRecordNotFound, "Record Not Found");
  else SetError(CodeFor(rc), sqlite3_errstr(rc));
  return false;
}
