#include "engine/page_picture.h"

#include <utility>

namespace lirako {

bool PagePicture::MovesIn(int row, int shift, int perColumn) {
  const int inColumn = row % perColumn + shift;
  return inColumn >= 0 && inColumn < perColumn;
}

std::optional<int> PagePicture::Shift(const PaintSetting& setting, int perColumn,
                                      const std::vector<DrawnLine>& lines) const {
  // Lines taller than their pitch overlap the next, which a full paint draws over them.
  if (!kept_ || !(setting == setting_) || perColumn != perColumn_ || perColumn <= 0 ||
      setting.pitch < setting.lineHeight || setting.pitch <= 0)
    return std::nullopt;
  const int rows = setting.columns * perColumn;
  if (static_cast<int>(lines.size()) > rows || static_cast<int>(lines_.size()) > rows)
    return std::nullopt;
  auto line = [](const std::vector<DrawnLine>& page, int row) -> const DrawnLine* {
    return row >= 0 && row < static_cast<int>(page.size()) ? &page[row] : nullptr;
  };
  for (int shift : {0, 1, -1}) {
    bool same = true;
    for (int row = 0; row < rows && same; ++row) {
      if (!MovesIn(row, shift, perColumn)) continue;
      const DrawnLine* now = line(lines, row);
      const DrawnLine* before = line(lines_, row + shift);
      same = now && before ? *now == *before : now == before;
    }
    if (same) return shift;
  }
  return std::nullopt;
}

void PagePicture::Remember(const PaintSetting& setting, int perColumn,
                           std::vector<DrawnLine> lines) {
  kept_ = true;
  setting_ = setting;
  perColumn_ = perColumn;
  lines_ = std::move(lines);
}

}  // namespace lirako
