#include "btrieve/BtrieveConfig.h"

#include "common/RegistryFile.h"
#include "engine/StepSupport.h"

namespace qz {
namespace {

// A "BtrieveCheck:" line is read whole into a message-sized text, and its
// key path holds at most 511 characters.
constexpr std::size_t kMaxCheckLine = 511;
constexpr std::size_t kMaxKeyPath = 511;

// Applies a settings file found for an existing Btrieve installation. A
// path too long for its field names no file that can be opened.
bool Configure(StepContext& ctx, const ValueExpander& macros, const TextBuffer& path, bool fits) {
  ctx.log.Write("Btrieve : Konfigurálás\n");
  RegistryFile file(ctx.platform.files, ctx.registry, macros);
  if (!fits || !file.Open(path.c_str())) {
    ctx.log.Print("Btrieve : Nem megnyitható fájl %s", path.c_str());
    if (!fits) ctx.log.LogError(platform::kErrorFilenameTooLong);
    return false;
  }
  file.Import(true);
  file.Close();
  return true;
}

}  // namespace

bool BtrieveCheck(StepContext& ctx) {
  ctx.log.Write("\n\n---> BtrieveCheck\n");
  ctx.script.FindLabel("BtrieveCheck:");
  SettingsMacros macros(ctx.settings);
  WideText line, file, key;
  while (ctx.script.ReadItem(line)) {
    if (RefuseLongLine(ctx, line, kMaxCheckLine)) return false;
    bool fileWhole = true, keyWhole = true;
    file.Clear();
    key.Clear();
    // The key is the line's second quoted text; a first value without its
    // closing quote leaves none.
    int close = macros.Expand(line.view(), file, &fileWhole);
    if (close > 0) macros.Expand(line.view().substr(static_cast<std::size_t>(close) + 1), key, &keyWhole);
    if (!keyWhole || key.length() > kMaxKeyPath) {
      // No key has so long a path: the line is passed over as one whose key
      // is absent.
      ctx.log.Print("Btrieve : Túl hosszú kulcs : %s...", key.c_str());
      ctx.log.LogError(platform::kErrorFilenameTooLong);
      continue;
    }
    if (!ctx.registry.IsValidKey(key.view())) continue;
    ctx.log.Write("Btrieve : Találat!\n");
    if (!Configure(ctx, macros, file, FitsPath(file, fileWhole))) return false;
  }
  return true;
}

bool BtrieveRegistry(StepContext& ctx) {
  bool result = true;
  ctx.log.Write("\n\n---> Btrieve regisztráció\n");
  ctx.script.FindLabel("BtrieveRegistry:");
  SettingsMacros macros(ctx.settings);
  RegistryFile file(ctx.platform.files, ctx.registry, macros);
  WideText line, path;
  while (ctx.script.ReadItem(line)) {
    if (RefuseLongLine(ctx, line)) return false;
    bool whole = true;
    macros.Expand(line.view(), path, &whole);
    if (!FitsPath(path, whole)) {
      ctx.log.Print("Btrieve : Nem megnyitható fájl %s", path.c_str());
      ctx.log.LogError(platform::kErrorFilenameTooLong);
      return false;
    }
    if (!file.Open(path.c_str())) return false;
    result = file.Import(false);
    file.Close();
  }
  return result;
}

}  // namespace qz
