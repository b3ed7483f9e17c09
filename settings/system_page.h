#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "settings/dialog_base.h"

namespace lirako {

class CTirasolView;
class DesktopAssociation;
class FileAssociation;

// The fifth tab, "장치" (dialog 141): links and unlinks extensions at once, through the
// view's extension lists and the registry, registers new extensions, and holds the
// code-table and dial options for the settings command.
class SystemPage : public DialogBase {
 public:
  static constexpr int kDialogId = 141;
  static constexpr int kLinkedList = 1098;
  static constexpr int kUnlinkedList = 1099;
  static constexpr int kLinkButton = 1100;
  static constexpr int kUnlinkButton = 1102;
  static constexpr int kExtensionEdit = 1010;
  static constexpr int kRegisterButton = 1101;
  static constexpr int kTableCheck = 1096;
  static constexpr int kDialCheck = 1027;

  explicit SystemPage(CTirasolView& view) : view_(view) {}

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& controls, int id, int notification) override;

  int32_t tableConversion = 0;
  int32_t dialDevice = 0;

 private:
  // Runs `change` on the file association over a copy of the view's extension lists, then
  // hands the view the lists as the change left them.
  void ChangeLists(const std::function<void(FileAssociation&)>& change,
                   DesktopAssociation* desktop = nullptr);
  DesktopAssociation Desktop();
  static void ReportDesktopFailure(const std::string& err);
  void Refill(Controls& controls);
  void RegisterTyped(Controls& controls);

  CTirasolView& view_;
};

}  // namespace lirako
