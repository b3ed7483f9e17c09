#include "store/library.h"

#include <sqlite3.h>

#include <cstdio>
#include <string>

#include "platform/utf.h"
#include "store/line_escape.h"
#include "store/reader_store.h"

namespace lirako {
namespace {

constexpr char kSchema[] =
    "CREATE TABLE IF NOT EXISTS books("
    " id INTEGER PRIMARY KEY,"
    " path BLOB NOT NULL UNIQUE,"  // UTF-16LE, compared exactly as the reader compares paths
    " size INTEGER NOT NULL DEFAULT 0,"
    " modified INTEGER NOT NULL DEFAULT -1,"
    " fingerprint TEXT NOT NULL DEFAULT '',"
    " text_fingerprint TEXT NOT NULL DEFAULT '',"
    " encoding TEXT NOT NULL DEFAULT '',"
    " position INTEGER NOT NULL DEFAULT 0,"
    " anchor TEXT NOT NULL DEFAULT '',"
    " progress REAL NOT NULL DEFAULT 0,"
    " bookmarks TEXT NOT NULL DEFAULT '',"  // one "position name" a line, newest first
    " first_read INTEGER NOT NULL DEFAULT 0,"
    " last_read INTEGER NOT NULL DEFAULT 0,"
    " reading_seconds INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX IF NOT EXISTS books_by_fingerprint ON books(fingerprint);"
    "CREATE INDEX IF NOT EXISTS books_by_text ON books(text_fingerprint);"
    "CREATE INDEX IF NOT EXISTS books_by_last_read ON books(last_read);"
    "CREATE TABLE IF NOT EXISTS book_values("
    " book INTEGER NOT NULL REFERENCES books(id) ON DELETE CASCADE,"
    " key TEXT NOT NULL,"
    " value TEXT NOT NULL,"
    " PRIMARY KEY(book, key)) WITHOUT ROWID;";

constexpr int kSchemaVersion = 1;

constexpr char kColumns[] =
    "path, size, modified, fingerprint, text_fingerprint, encoding, position, anchor, progress,"
    " bookmarks, first_read, last_read, reading_seconds";

std::string PathBlob(const std::u16string& path) {
  std::string blob;
  blob.reserve(path.size() * 2);
  for (char16_t c : path) {
    blob.push_back(static_cast<char>(c & 0xFF));
    blob.push_back(static_cast<char>(c >> 8));
  }
  return blob;
}

std::u16string PathFromBlob(const void* data, int bytes) {
  const auto* p = static_cast<const unsigned char*>(data);
  std::u16string path;
  for (int i = 0; i + 1 < bytes; i += 2)
    path.push_back(static_cast<char16_t>(p[i] | (p[i + 1] << 8)));
  return path;
}

std::string BookmarksText(const std::vector<Bookmark>& bookmarks) {
  std::string text;
  for (const Bookmark& mark : bookmarks)
    text +=
        std::to_string(mark.position) + " " + EscapeLine(ToUtf8(mark.name), EscapeTabs::kNo) + "\n";
  return text;
}

std::vector<Bookmark> BookmarksFromText(std::string_view text) {
  std::vector<Bookmark> bookmarks;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos) continue;
    try {
      const int32_t position = std::stoi(std::string(line.substr(0, blank)));
      bookmarks.push_back(
          Bookmark{FromUtf8(UnescapeLine(line.substr(blank + 1), EscapeTabs::kNo)), position});
    } catch (const std::exception&) {
      // A line that names no position is no bookmark.
    }
  }
  return bookmarks;
}

bool IsDamage(int code) {
  return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

}  // namespace

// A prepared statement, finalized when it goes.
class Library::Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  bool ok() const { return stmt_ != nullptr; }
  Statement& Bind(int i, const std::string& text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& BindPath(int i, const std::u16string& path) {
    const std::string blob = PathBlob(path);
    sqlite3_bind_blob(stmt_, i, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& Bind(int i, int64_t value) {
    sqlite3_bind_int64(stmt_, i, value);
    return *this;
  }
  Statement& Bind(int i, double value) {
    sqlite3_bind_double(stmt_, i, value);
    return *this;
  }
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
  bool Run(std::string* err) {
    const int code = Step();
    if (code == SQLITE_DONE || code == SQLITE_ROW) return true;
    if (err) *err = sqlite3_errmsg(db_);
    return false;
  }
  int64_t Int(int i) const { return sqlite3_column_int64(stmt_, i); }
  double Real(int i) const { return sqlite3_column_double(stmt_, i); }
  std::string Text(int i) const {
    const auto* text = sqlite3_column_text(stmt_, i);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<size_t>(sqlite3_column_bytes(stmt_, i)))
                : std::string();
  }
  std::u16string Path(int i) const {
    return PathFromBlob(sqlite3_column_blob(stmt_, i), sqlite3_column_bytes(stmt_, i));
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

Library::~Library() {
  Close();
}

void Library::Close() {
  if (db_) sqlite3_close(db_);
  db_ = nullptr;
}

Library::Opened Library::Open(const std::string& path, std::string* err, Check check) {
  Close();
  damaged_ = false;
  bool existed = false;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    existed = true;
    std::fclose(f);
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    int code =
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::string reason;
    bool damaged = false;
    if (code == SQLITE_OK) {
      sqlite3_busy_timeout(db_, kBusyMilliseconds);
      // A file that is no database, or a damaged schema, fails here; damaged pages fail the
      // quick check.
      {
        Statement read(db_, check == Check::kEveryPage ? "PRAGMA quick_check"
                                                       : "SELECT COUNT(*) FROM sqlite_master");
        code = read.Step();
        if (code == SQLITE_ROW && check == Check::kEveryPage && read.Text(0) != "ok")
          code = SQLITE_CORRUPT;
      }
      damaged = IsDamage(code) || IsDamage(sqlite3_extended_errcode(db_) & 0xFF);
      if (code == SQLITE_ROW || code == SQLITE_DONE) {
        if (Exec("PRAGMA journal_mode=WAL", &reason) &&
            Exec("PRAGMA synchronous=NORMAL", &reason) && Exec("PRAGMA foreign_keys=ON", &reason) &&
            CreateSchema(&reason)) {
          if (attempt > 0) return Opened::kReplacedDamaged;
          return existed ? Opened::kExisting : Opened::kCreated;
        }
        damaged = IsDamage(sqlite3_errcode(db_));
      } else {
        reason = sqlite3_errmsg(db_);
      }
    } else {
      reason = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    }
    Close();
    if (!damaged || attempt > 0) {
      if (err) *err = path + ": " + reason;
      return Opened::kFailed;
    }
    // Kept beside for whoever wants to look at it; its journal goes with it.
    const std::string kept = path + kDamagedSuffix;
    if (std::rename(path.c_str(), kept.c_str()) != 0) {
      if (err) *err = path + ": damaged and cannot be moved aside";
      return Opened::kFailed;
    }
    std::rename((path + "-wal").c_str(), (kept + "-wal").c_str());
    std::remove((path + "-shm").c_str());
  }
  return Opened::kFailed;
}

bool Library::Exec(const char* sql, std::string* err) const {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  if (err) *err = message ? message : "SQLite error";
  sqlite3_free(message);
  NoteDamage();
  return false;
}

void Library::NoteDamage() const {
  if (db_ && IsDamage(sqlite3_errcode(db_) & 0xFF)) damaged_ = true;
}

bool Library::CreateSchema(std::string* err) {
  // A library made before needs no write: a window holding the lock does not delay the start.
  {
    Statement version(db_, "PRAGMA user_version");
    if (version.Step() == SQLITE_ROW && version.Int(0) >= kSchemaVersion) return true;
  }
  return Change(
      [&](std::string* e) {
        return Exec(kSchema, e) &&
               Exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str(), e);
      },
      err);
}

bool Library::Change(const std::function<bool(std::string*)>& body, std::string* err) {
  std::string reason;
  if (!db_) {
    reason = "the library is not open";
  } else if (Exec("BEGIN IMMEDIATE", &reason)) {
    if (body(&reason) && Exec("COMMIT", &reason)) {
      lastError_.clear();
      return true;
    }
    NoteDamage();
    Exec("ROLLBACK", nullptr);
  }
  lastError_ = reason;
  if (err) *err = reason;
  return false;
}

std::vector<LibraryBook> Library::Query(const char* where, const std::string* text) const {
  std::vector<LibraryBook> books;
  if (!db_) return books;
  const std::string sql = std::string("SELECT ") + kColumns + " FROM books " + where;
  Statement select(db_, sql.c_str());
  if (text) select.Bind(1, *text);
  int code;
  while ((code = select.Step()) == SQLITE_ROW) {
    LibraryBook book;
    book.path = select.Path(0);
    book.size = select.Int(1);
    book.modified = select.Int(2);
    book.fingerprint = select.Text(3);
    book.textFingerprint = select.Text(4);
    book.encoding = select.Text(5);
    book.position = static_cast<int32_t>(select.Int(6));
    book.anchor = select.Text(7);
    book.progress = select.Real(8);
    book.bookmarks = BookmarksFromText(select.Text(9));
    book.firstRead = select.Int(10);
    book.lastRead = select.Int(11);
    book.readingSeconds = select.Int(12);
    books.push_back(std::move(book));
  }
  if (code != SQLITE_DONE) NoteDamage();
  return books;
}

std::optional<LibraryBook> Library::Find(const std::u16string& path) const {
  const std::string blob = PathBlob(path);
  std::vector<LibraryBook> found = Query("WHERE path = CAST(?1 AS BLOB)", &blob);
  if (found.empty()) return std::nullopt;
  return std::move(found.front());
}

std::vector<LibraryBook> Library::FindByFingerprint(const std::string& fingerprint) const {
  if (fingerprint.empty()) return {};
  return Query("WHERE fingerprint = ?1 ORDER BY last_read DESC", &fingerprint);
}

std::vector<LibraryBook> Library::FindByTextFingerprint(const std::string& fingerprint) const {
  if (fingerprint.empty()) return {};
  return Query("WHERE text_fingerprint = ?1 ORDER BY last_read DESC", &fingerprint);
}

std::vector<LibraryBook> Library::All() const {
  return Query("ORDER BY last_read DESC, id DESC", nullptr);
}

size_t Library::Count() const {
  if (!db_) return 0;
  Statement count(db_, "SELECT COUNT(*) FROM books");
  if (count.Step() == SQLITE_ROW) return static_cast<size_t>(count.Int(0));
  NoteDamage();
  return 0;
}

bool Library::Save(const LibraryBook& book, std::string* err) {
  if (book.path.empty()) return false;
  return Change(
      [&](std::string* e) {
        Statement upsert(
            db_,
            "INSERT INTO books(path, size, modified, fingerprint, text_fingerprint, encoding,"
            " position, anchor, progress, bookmarks, first_read, last_read, reading_seconds)"
            " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)"
            " ON CONFLICT(path) DO UPDATE SET size = ?2, modified = ?3, fingerprint = ?4,"
            " text_fingerprint = ?5, encoding = ?6, position = ?7, anchor = ?8, progress = ?9,"
            " bookmarks = ?10, first_read = ?11, last_read = ?12, reading_seconds = ?13");
        upsert.BindPath(1, book.path)
            .Bind(2, book.size)
            .Bind(3, book.modified)
            .Bind(4, book.fingerprint)
            .Bind(5, book.textFingerprint)
            .Bind(6, book.encoding)
            .Bind(7, static_cast<int64_t>(book.position))
            .Bind(8, book.anchor)
            .Bind(9, book.progress)
            .Bind(10, BookmarksText(book.bookmarks))
            .Bind(11, book.firstRead)
            .Bind(12, book.lastRead)
            .Bind(13, book.readingSeconds);
        return upsert.Run(e);
      },
      err);
}

bool Library::Carry(const std::u16string& from, const std::u16string& to, bool keep,
                    std::string* err) {
  if (from == to || to.empty()) return true;
  return Change(
      [&](std::string* e) {
        Statement drop(db_, "DELETE FROM books WHERE path = ?1");
        if (!drop.BindPath(1, to).Run(e)) return false;
        if (!keep) {
          Statement move(db_, "UPDATE books SET path = ?1 WHERE path = ?2");
          return move.BindPath(1, to).BindPath(2, from).Run(e);
        }
        Statement copy(db_,
                       "INSERT INTO books(path, size, modified, fingerprint, text_fingerprint,"
                       " encoding, position, anchor, progress, bookmarks, first_read, last_read,"
                       " reading_seconds) SELECT ?1, size, modified, fingerprint,"
                       " text_fingerprint, encoding, position, anchor, progress, bookmarks,"
                       " first_read, last_read, reading_seconds FROM books WHERE path = ?2");
        if (!copy.BindPath(1, to).BindPath(2, from).Run(e)) return false;
        Statement values(db_,
                         "INSERT INTO book_values(book, key, value) SELECT"
                         " (SELECT id FROM books WHERE path = ?1), key, value FROM book_values"
                         " WHERE book = (SELECT id FROM books WHERE path = ?2)");
        return values.BindPath(1, to).BindPath(2, from).Run(e);
      },
      err);
}

bool Library::Forget(const std::u16string& path, std::string* err) {
  return Change(
      [&](std::string* e) {
        Statement drop(db_, "DELETE FROM books WHERE path = ?1");
        return drop.BindPath(1, path).Run(e);
      },
      err);
}

std::optional<std::string> Library::BookValue(const std::u16string& book,
                                              std::string_view key) const {
  if (!db_) return std::nullopt;
  Statement select(db_,
                   "SELECT value FROM book_values WHERE key = ?2 AND"
                   " book = (SELECT id FROM books WHERE path = ?1)");
  select.BindPath(1, book).Bind(2, std::string(key));
  const int code = select.Step();
  if (code == SQLITE_ROW) return select.Text(0);
  if (code != SQLITE_DONE) NoteDamage();
  return std::nullopt;
}

void Library::SetBookValue(const std::u16string& book, std::string_view key,
                           std::string_view value) {
  if (book.empty() || !ReaderStore::IsValidKey(key)) return;
  Change(
      [&](std::string* e) {
        Statement add(db_, "INSERT OR IGNORE INTO books(path) VALUES(?1)");
        if (!add.BindPath(1, book).Run(e)) return false;
        Statement put(db_,
                      "INSERT OR REPLACE INTO book_values(book, key, value) VALUES("
                      "(SELECT id FROM books WHERE path = ?1), ?2, ?3)");
        return put.BindPath(1, book).Bind(2, std::string(key)).Bind(3, std::string(value)).Run(e);
      },
      nullptr);
}

void Library::RemoveBookValue(const std::u16string& book, std::string_view key) {
  if (!BookValue(book, key)) return;
  Change(
      [&](std::string* e) {
        Statement drop(db_,
                       "DELETE FROM book_values WHERE key = ?2 AND"
                       " book = (SELECT id FROM books WHERE path = ?1)");
        return drop.BindPath(1, book).Bind(2, std::string(key)).Run(e);
      },
      nullptr);
}

std::vector<std::u16string> Library::BooksWith(std::string_view key) const {
  std::vector<std::u16string> books;
  if (!db_) return books;
  Statement select(db_,
                   "SELECT path FROM books JOIN book_values ON book = id WHERE key = ?1"
                   " ORDER BY last_read DESC, id DESC");
  select.Bind(1, std::string(key));
  int code;
  while ((code = select.Step()) == SQLITE_ROW)
    books.push_back(select.Path(0));
  if (code != SQLITE_DONE) NoteDamage();
  return books;
}

}  // namespace lirako
