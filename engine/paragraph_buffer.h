#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lirako {

// One paragraph as read from the file: its text (always followed by a zero unit), where the
// read started, how many file units it covered, and where its text lies in the file.
template <typename Unit>
class ParagraphBuffer {
 public:
  static constexpr int32_t kGrowth = 1024;

  ParagraphBuffer() : text_(kGrowth, Unit{0}) {}

  // Forward read: the first text unit. Backward read: the first unit of the break before the
  // text (0 for the first paragraph of the file).
  int32_t start = 0;
  // File units the read covered, breaks included.
  int32_t consumed = 0;
  // File position of the first text unit.
  int32_t textStart = 0;
  // File position just after the text and the line break that follows it.
  int32_t end = 0;
  // No line break follows the text: the paragraph goes on at `end` in the next piece.
  bool split = false;
  // Lines joined into one paragraph: the paragraph goes on at `end` in the next piece, after
  // the blank that stands for the line break before `end`.
  bool joinsNext = false;
  // Lines joined into one paragraph: the text indices, in order, of the blanks that stand for
  // a line break of two units (CR LF or LF CR).
  std::vector<int32_t> doubleBreaks;

  // The file position of text index `index` (text units map one to one but for the blanks
  // that stand for two-unit line breaks).
  int32_t FilePosition(int32_t index) const {
    if (doubleBreaks.empty()) return textStart + index;
    auto before = std::lower_bound(doubleBreaks.begin(), doubleBreaks.end(), index);
    return textStart + index + static_cast<int32_t>(before - doubleBreaks.begin());
  }

  int32_t length() const { return length_; }
  int32_t capacity() const { return static_cast<int32_t>(text_.size()); }
  // The text, followed by a zero unit.
  const Unit* text() const { return text_.data(); }
  Unit operator[](int32_t i) const { return text_[static_cast<size_t>(i)]; }

  // Empties the text and resets the positions.
  void Clear() {
    std::fill(text_.begin(), text_.begin() + length_, Unit{0});
    length_ = 0;
    start = consumed = textStart = end = 0;
    split = joinsNext = false;
    doubleBreaks.clear();
  }
  // Appends one unit, growing by kGrowth units when only the terminating zero's room is left.
  void Append(Unit unit) {
    if (length_ >= capacity() - 1) text_.resize(text_.size() + kGrowth, Unit{0});
    text_[static_cast<size_t>(length_++)] = unit;
  }
  // Appends `count` units, growing in steps of kGrowth units as Append does.
  void Append(const Unit* units, int32_t count) {
    if (count <= 0) return;
    int32_t needed = length_ + count + 1;
    if (needed > capacity()) {
      int32_t steps = (needed - capacity() + kGrowth - 1) / kGrowth;
      text_.resize(text_.size() + static_cast<size_t>(steps) * kGrowth, Unit{0});
    }
    std::copy(units, units + count, text_.begin() + length_);
    length_ += count;
  }
  // Drops the text from `length` on (which must not exceed the text's length).
  void Truncate(int32_t length) {
    std::fill(text_.begin() + length, text_.begin() + length_, Unit{0});
    length_ = length;
  }
  // Reverses the text in place (a backward read collects it last unit first).
  void Reverse() { std::reverse(text_.begin(), text_.begin() + length_); }

 private:
  std::vector<Unit> text_;
  int32_t length_ = 0;
};

}  // namespace lirako
