// The reader view's dynamic menus: recent files, bookmarks, the encoding and the document
// sub-menus.
#include <algorithm>

#include "platform/readable_path.h"
#include "store/data_folder.h"
#include "view/tirasol_view.h"

namespace lirako {

void CTirasolView::BuildRecentMenu() {
  Menu* top = host_.MainMenu();
  Menu* recent = top ? top->SubMenu(kMenuPosRecent) : nullptr;
  if (!recent) return;
  for (int id = kCmdRecentFirst; id <= kCmdRecentLast; ++id) {
    while (recent->DeleteItem(id)) {
    }
  }
  size_t shown = std::min<size_t>(recentFiles_.size(), kMenuListLimit);
  for (size_t i = 0; i < shown; ++i) {
    recent->AppendItem(kCmdRecentFirst + static_cast<int>(i),
                       ReadablePath(platform_, FileNameOf(recentFiles_.entries()[i].path)));
  }
  top->EnableItemAt(kMenuPosRecent, shown > 0);
}

void CTirasolView::BuildBookmarkMenu() {
  Menu* top = host_.MainMenu();
  Menu* bookmarks = top ? top->SubMenu(kMenuPosBookmark) : nullptr;
  if (!bookmarks) return;
  for (int id = kCmdBookmarkFirst; id <= kCmdBookmarkLast; ++id) {
    while (bookmarks->DeleteItem(id)) {
    }
  }
  size_t shown = std::min<size_t>(currentEntry_.bookmarks.size(), kMenuListLimit);
  for (size_t i = 0; i < shown; ++i) {
    bookmarks->AppendItem(kCmdBookmarkFirst + static_cast<int>(i), currentEntry_.bookmarks[i].name);
  }
}

void CTirasolView::SetDocumentMenusEnabled(bool enabled) {
  Menu* top = host_.MainMenu();
  if (!top) return;
  top->EnableItemAt(kMenuPosMove, enabled);
  top->EnableItemAt(kMenuPosBookmark, enabled);
  top->EnableItemAt(kMenuPosEncoding, enabled);
}

}  // namespace lirako
