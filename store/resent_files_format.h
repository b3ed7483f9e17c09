#pragma once

#include <cstdint>

// Layout of the recent-file record ResentFiles.Dat (little-endian, after the record header):
// entry count; per entry its path (length n with the NUL, 2n bytes UTF-16LE), its position,
// its bookmark count, and per bookmark its name (same string form) and position.
namespace lirako::resent_files {

inline constexpr char16_t kFileName[] = u"ResentFiles.Dat";
inline constexpr char kHeaderName[] = "default";
inline constexpr int32_t kVersion = 0;

inline constexpr int64_t kEntryCount = 132;  // offset of the entry count
inline constexpr int64_t kFirstEntry = 136;  // offset of the first entry's path length

// At most this many entries, and this many bookmarks per entry, are written.
inline constexpr int32_t kMaxEntries = 10;
inline constexpr int32_t kMaxBookmarks = 10;

// A string holds 1 to 260 units including its terminating NUL.
inline constexpr int32_t kMaxStringUnits = 260;

// An empty list's file size.
inline constexpr int64_t kEmptyFileSize = 136;

}  // namespace lirako::resent_files
