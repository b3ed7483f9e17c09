#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/book_values.h"
#include "store/bookmark.h"

struct sqlite3;

namespace lirako {

// What the library remembers of one book.
struct LibraryBook {
  std::u16string path;          // where it was last seen; the record's key
  int64_t size = 0;             // in bytes
  int64_t modified = -1;        // last change of the file, nanoseconds since the epoch
  std::string fingerprint;      // of the bytes (ContentFingerprint)
  std::string textFingerprint;  // of the text (TextFingerprint)
  std::string encoding;         // the encoding it was last read in ("cp949", "utf-8", ...)
  int32_t position = 0;         // where reading stopped, in the encoding's units
  std::string anchor;           // the text at that place (TextAnchor)
  double progress = 0;          // 0.0 to 1.0
  std::vector<Bookmark> bookmarks;
  int64_t firstRead = 0;  // milliseconds since the epoch, UTC; 0 when not known
  int64_t lastRead = 0;
  int64_t readingSeconds = 0;
};

// Every book the reader has opened, in the SQLite database "library.sqlite3" of the data
// folder: one record per book and the book's values (BookValues). The database runs in WAL
// mode, each change is one transaction, and a writer waits for another window's transaction
// up to kBusyMilliseconds, so two windows never lose each other's writes.
class Library : public BookValues {
 public:
  static constexpr char16_t kFileName[] = u"library.sqlite3";
  static constexpr char kDamagedSuffix[] = ".damaged";
  static constexpr int kBusyMilliseconds = 5000;

  enum class Opened { kExisting, kCreated, kReplacedDamaged, kFailed };
  // How much of an existing database Open reads to tell whether it is damaged: its schema
  // (cheap, for every start; damage elsewhere shows when a page is used, see damaged()), or
  // every page.
  enum class Check { kSchema, kEveryPage };

  Library() = default;
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  ~Library() override;

  // Opens the database at `path` (UTF-8), creating it when missing. A damaged database is
  // renamed to path + kDamagedSuffix and a new one started. kFailed with the reason in `err`
  // when none can be opened; the library then holds nothing and saves nothing.
  Opened Open(const std::string& path, std::string* err, Check check = Check::kSchema);
  void Close();
  bool IsOpen() const { return db_ != nullptr; }

  std::optional<LibraryBook> Find(const std::u16string& path) const;
  // The books with this fingerprint (of the bytes, or of the text), most recently read first.
  std::vector<LibraryBook> FindByFingerprint(const std::string& fingerprint) const;
  std::vector<LibraryBook> FindByTextFingerprint(const std::string& fingerprint) const;
  // Every book, most recently read first.
  std::vector<LibraryBook> All() const;
  size_t Count() const;

  // Writes the record of `book.path`, new or replacing the old one; its values stay.
  bool Save(const LibraryBook& book, std::string* err);
  // The record of `from` and its values now belong to `to` (a moved book); a record of `to`
  // is replaced. With `keep` the record of `from` stays as well (a copied book).
  bool Carry(const std::u16string& from, const std::u16string& to, bool keep, std::string* err);
  // Forgets a book and its values.
  bool Forget(const std::u16string& path, std::string* err);

  // BookValues. A value set for a book the library does not hold yet makes a record for it.
  std::optional<std::string> BookValue(const std::u16string& book,
                                       std::string_view key) const override;
  void SetBookValue(const std::u16string& book, std::string_view key,
                    std::string_view value) override;
  void RemoveBookValue(const std::u16string& book, std::string_view key) override;
  std::vector<std::u16string> BooksWith(std::string_view key) const override;

  // Why the last change failed (empty when none did).
  const std::string& lastError() const { return lastError_; }
  // True once SQLite found a damaged page: the library should be opened again with
  // Check::kEveryPage.
  bool damaged() const { return damaged_; }

 private:
  class Statement;
  bool Exec(const char* sql, std::string* err) const;
  // Notes a damaged page when SQLite's last error says so.
  void NoteDamage() const;
  bool Change(const std::function<bool(std::string*)>& body, std::string* err);
  std::vector<LibraryBook> Query(const char* sql, const std::string* text) const;
  bool CreateSchema(std::string* err);

  sqlite3* db_ = nullptr;
  std::string lastError_;
  mutable bool damaged_ = false;
};

}  // namespace lirako
