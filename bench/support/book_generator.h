#pragma once

#include <cstdint>
#include <string>

namespace lirako::bench {

enum class BookEncoding { kCp949, kUtf16Le, kUtf8 };

// kUnbroken books have a blank wherever a kParagraphs book has a line break.
enum class BookShape { kParagraphs, kUnbroken };

// Writes a Korean book of exactly `size` bytes to `path`: paragraphs of varied length made of
// Hangul syllables (with an occasional extended-region syllable in code page 949), Latin
// words, digits, punctuation, occasional tabs and blank lines, ended by all four break
// pairs (CR, LF, CR LF, LF CR). UTF-16 books start with the byte-order mark FF FE; UTF-8
// books have no mark and hold the same characters as the code page 949 ones. The same
// seed gives the same bytes. Returns false when the file cannot be written.
bool WriteBook(const std::string& path, int64_t size, BookEncoding encoding, uint64_t seed,
               BookShape shape = BookShape::kParagraphs);

// Keeps `path` when it already holds `size` bytes, else writes it with WriteBook.
bool EnsureBook(const std::string& path, int64_t size, BookEncoding encoding, uint64_t seed,
                BookShape shape = BookShape::kParagraphs);

// A text that no generated book contains (it holds a syllable the generator never writes),
// in the book's own bytes: code page 949, UTF-8, or UTF-16LE without a byte-order mark.
std::u16string AbsentText();
std::string AbsentTextBytes(BookEncoding encoding);

// A Latin word that no generated book contains in any case: the books' Latin words are at
// most twelve letters long, and this one is longer.
std::u16string AbsentWord();

// A syllable that every generated book holds often: its syllables are drawn evenly from
// 2,349 of them.
std::u16string FrequentText();

}  // namespace lirako::bench
