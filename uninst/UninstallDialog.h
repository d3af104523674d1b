#pragma once
// The uninstaller's progress page (dialog 102): it checks that the
// application is registered, then removes its files, its program group and
// its registry entries, each step even when an earlier one failed.

#include <string_view>

#include "common/ProgressList.h"
#include "common/ProtectedFolders.h"
#include "platform/UserInterface.h"
#include "text/Text.h"
#include "uninst/UninstallContext.h"

namespace qz {

inline constexpr int kUninstallDialogId = 102;
inline constexpr int kUninstallListId = 1001;
inline constexpr int kStartRemovalCommand = 9999;

class UninstallDialog : public platform::DialogHandler {
 public:
  UninstallDialog(UninstallContext& context, std::string_view appName);

  int TemplateId() const override { return kUninstallDialogId; }
  void OnInit(platform::Dialog& dialog) override { CheckApplication(dialog); }
  void OnCommand(platform::Dialog& dialog, int id) override;

  // Whether the application's key exists; when it does the removal starts,
  // otherwise the page ends at once.
  bool CheckApplication(platform::Dialog& dialog);
  void StartRemoval(platform::Dialog& dialog);

  // The removal steps. GetDirs is false when the registration lacks its
  // "Version" or "Home Dir" (an interrupted installation); the steps run all
  // the same.
  bool GetDirs();
  bool RemoveProgramFiles(ProgressList& progress);
  bool RemoveShortcuts(ProgressList& progress);
  bool RemoveRegistration();
  bool RemoveTree(const char* directory, ProgressList& progress);
  // A folder, or the link that stands in its place.
  bool RemoveFolder(const char* directory, ProgressList& progress);
  bool RemoveLink(const char* link, ProgressList& progress);

  const PathText& homeDir() const { return homeDir_; }
  // True once a removal ran with every step succeeding.
  bool succeeded() const { return succeeded_; }
  // True once the application's key was found.
  bool registered() const { return registered_; }

 private:
  bool RemoveDirEntry(const char* directory, ProgressList& progress);
  bool MayRemove(const TextBuffer& directory, ProtectedFolders::Form form = ProtectedFolders::Form::kDrive);
  void RemoveDesktopLink(const TextBuffer& link);
  bool DeleteKeyIfThere(std::string_view key);
  void Fail(platform::Dialog& dialog, const char* message);

  UninstallContext& ctx_;
  NameText appName_;
  PathText homeDir_;
  bool succeeded_ = false;
  bool registered_ = false;
};

}  // namespace qz
