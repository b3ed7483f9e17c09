#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/controls.h"

namespace lirako {

class CTirasolView;

// The bookmark name dialog (dialog 137): one edit with the name; OK takes the edited name.
class CBookmarkNameDlg : public DialogLogic {
 public:
  static constexpr int kDialogId = 137;
  static constexpr int kNameEdit = 1010;

  // The set-bookmark command after the auto-refresh is stopped: with a document open,
  // refuses a second bookmark at the page position with a message, else proposes a name,
  // lets the user edit it and on OK adds the bookmark, rebuilds the menu and saves the
  // recent files.
  static void RunCommand(CTirasolView& view, DialogRunner& runner);
  // Makes `view` run RunCommand on its set-bookmark command and button function, through `runner`,
  // which must outlive the view.
  static void Install(CTirasolView& view, DialogRunner& runner);

  // The proposed name of a bookmark at `position` in a document of `size` units whose page
  // starts with the line `topText`: "[12.5%]", or its first 10 characters, a blank and that.
  static std::u16string ProposedName(const std::u16string& topText, int32_t position, int32_t size);

  explicit CBookmarkNameDlg(std::u16string name) : name_(std::move(name)) {}

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls&, int, int) override {}
  void OnScroll(Controls&, int, int) override {}
  void OnTimer(Controls&, int) override {}
  // Takes the text of the field as the name.
  bool OnOk(Controls& controls) override;
  void OnCancel(Controls&) override {}

  const std::u16string& name() const { return name_; }

 private:
  std::u16string name_;
};

}  // namespace lirako
