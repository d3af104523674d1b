#include "btrieve/ConvertDatabase.h"

#include <memory>
#include <string_view>

#include "btrieve/BtrieveFile.h"
#include "btrieve/ConversionPlan.h"

namespace qz {
namespace {

// Database directories end in ".DAT" written in capitals; the name ".DAT"
// itself counts.
bool IsDatabaseDirectory(const platform::FindEntry& entry) {
  std::string_view name = entry.name.view();
  return entry.IsDirectory() && !entry.IsDots() && name.size() >= 4 && name.substr(name.size() - 4) == ".DAT";
}


}  // namespace

bool ConvertDatabase(StepContext& ctx) {
  auto plan = std::make_unique<ConversionPlan>();
  auto file = std::make_unique<BtrieveFile>(ctx.btrieve);
  platform::FileSystem& files = ctx.platform.files;

  ctx.log.Write("\n\n---> Convert database\n");
  // The pass does not depend on the plan: a missing file leaves it empty.
  plan->Load(files, ctx.settings.oldVersion.view());

  // A path that does not fit a path buffer is never used cut short: it
  // would name another directory or file. Such a database cannot be
  // reached, and the step fails as for a file that cannot be opened.
  PathText pattern;
  if (!pattern.Format("%s\\*.*", ctx.settings.homeDir.c_str())) return false;
  platform::ErrorCode error = platform::kOk;
  auto homeSearch = files.FindFiles(pattern.c_str(), error);
  if (!homeSearch) return true;

  platform::FindEntry entry;
  while (homeSearch->Next(entry)) {
    if (!IsDatabaseDirectory(entry)) continue;
    MessageText line;
    line.Format("   Konvertálás : %s", entry.name.c_str());
    ctx.progress.AddLine(line.c_str());
    PathText directory;
    bool directoryFits = directory.Format("%s\\%s", ctx.settings.homeDir.c_str(), entry.name.c_str());
    ctx.log.Print("\n\n   +++++ Database directory : %s\\%s +++++\n", ctx.settings.homeDir.c_str(),
                  entry.name.c_str());
    if (!directoryFits || !pattern.Format("%s\\*.DAT", directory.c_str())) return false;

    auto search = files.FindFiles(pattern.c_str(), error);
    platform::FindEntry match;
    while (search && search->Next(match)) {
      line.Format("      %s\\%s", directory.c_str(), match.name.c_str());
      ctx.progress.AddLine(line.c_str());
      PathText path;
      if (!path.Format("%s\\%s", directory.c_str(), match.name.c_str())) return false;
      if (file->Open(path.c_str()) != 0) {
        // A file whose Stat request failed is still open in the engine:
        // close it, or the engine would hold it until the program ends.
        if (file->IsOpen()) file->Call(BtrieveFile::kClose);
        return false;
      }
      file->Call(BtrieveFile::kClose);
    }
  }
  return true;
}

}  // namespace qz
