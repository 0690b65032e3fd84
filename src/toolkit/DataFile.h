#pragma once

#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The declared layout of a keyed data file: one table, fixed-width text
// columns, one primary key.
struct DataFileLayout {
  struct Column {
    std::string name;
    std::size_t width;  // fetched values are space-padded or cut to this width
  };
  std::string table;
  std::vector<Column> columns;
  std::string keyName;                  // the primary key's constraint name
  std::vector<std::string> keyColumns;  // in key order
  bool createAllowed = false;           // the program may create the file when it is missing
};

// A keyed data file stored as an SQLite database: open, fetch by key, close,
// with a run-time file name and the small error codes the rest of the program
// acts on. One object is used by one thread.
class DataFile {
 public:
  // Error codes after each operation (0: none).
  static constexpr int kNotFound = 2;
  static constexpr int kAccessDenied = 5;
  static constexpr int kFileLocked = 32;
  static constexpr int kRecordNotFound = 35;
  static constexpr int kNotOpen = 37;
  static constexpr int kKeyFileDamaged = 46;
  static constexpr int kInvalidDeclaration = 47;
  static constexpr int kAlreadyOpen = 52;
  static constexpr int kOtherError = 90;

  // Access modes: access in the low nibble (0 read, 1 write, 2 read/write), sharing
  // in the high nibble (0x10 deny all ... 0x40 deny none). SQLite's own locking
  // stands in for the sharing bits.
  static constexpr int kReadOnlyDenyNone = 0x40;
  static constexpr int kReadWriteDenyNone = 0x42;

  DataFile(DataFileLayout layout, std::string name);
  ~DataFile();
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  bool CreateAllowed() const { return layout_.createAllowed; }
  const DataFileLayout& Layout() const { return layout_; }
  bool IsOpen() const { return db_ != nullptr; }
  int ErrorCode() const { return error_; }
  const std::string& ErrorText() const { return errorText_; }

  void Open(int accessMode);
  void Create();  // an empty file with the declared layout; the file is left closed
  void Close();

  // Exact match on the whole key (one value per key column, compared as stored).
  // On success the record buffer holds the row and the error code is 0.
  bool Fetch(const std::vector<std::string_view>& key);
  const std::string& Field(std::size_t column) const { return record_.at(column); }
  std::string& Field(std::size_t column) { return record_.at(column); }

 private:
  void SetError(int code, std::string text);
  bool LayoutMatches();
  void Reset();

  DataFileLayout layout_;
  std::string name_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* fetch_ = nullptr;
  std::vector<std::string> record_;
  int error_ = 0;
  std::string errorText_;
};
