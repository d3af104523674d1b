#include "engine/InstallSequence.h"

namespace qz {

void RowText::Compose(const SetupSettings& settings, TextBuffer& out) const {
  out.Clear();
  if (!pattern_) return;
  std::size_t next = 0;
  std::string_view pattern(pattern_);
  while (!pattern.empty()) {
    std::size_t mark = pattern.find("%s");
    if (mark == std::string_view::npos || next >= values_.size()) {
      out.Append(pattern);
      break;
    }
    out.Append(pattern.substr(0, mark));
    switch (values_[next++]) {
      case Value::AppName: out.Append(settings.appName.view()); break;
      case Value::OldVersion: out.Append(settings.oldVersion.view()); break;
      case Value::AppVersion: out.Append(settings.appVersion.view()); break;
    }
    pattern.remove_prefix(mark + 2);
  }
}

std::optional<MessageText> RunSequence(const InstallSequence& rows, std::int32_t installType, StepContext& ctx) {
  for (std::int32_t type : {kInstallInstall, kInstallPatch, kInstallUpdate}) {
    if (installType != type) continue;
    for (const InstallRow& row : rows) {
      if ((row.runsOn & (1u << type)) == 0) continue;
      if (row.progress) {
        MessageText line;
        row.progress.Compose(ctx.settings, line);
        ctx.progress.AddLine(line.c_str());
      }
      // A row that was given no step has done nothing: it must not pass for
      // an installed part.
      if (!row.step || !row.step(ctx)) {
        MessageText failure;
        row.failure.Compose(ctx.settings, failure);
        return failure;
      }
    }
  }
  return std::nullopt;
}

InstallSequence MakeInstallSequence(const InstallSteps& steps) {
  using V = RowText::Value;
  const unsigned install = kRunsOnInstall, patch = kRunsOnPatch, update = kRunsOnUpdate;
  return {
      {install, {"A Btrieve regisztrálás..."}, steps.btrieveCheck, {"Hiba a Btrieve ellenőrzés közben..."}},
      {install, {}, steps.btrieveRegistry, {"Hiba történt a Btrive regisztrálása közben"}},
      {install, {}, steps.installWindir, {"Hiba történt a telepítése közben (WinDir)"}},
      {install | patch, {"A %s telepítése", {V::AppName}}, steps.installHome,
       {"Hiba történt a %s telepítése közben", {V::AppName}}},
      {install | patch, {"A eltávolító program telepítése..."}, steps.installVormexDir,
       {"Hiba történt az eltávolító program telepítése közben"}},
      {install, {"A %s regisztrálása", {V::AppName}}, steps.registerApp,
       {"Hiba történt a %s regisztrálása közben", {V::AppName}}},
      {install | patch, {"Parancsikon létrehozása"}, steps.makeIcon,
       {"A telepítő nem tudott létrehozni a parancsikont"}},
      {update, {"Biztonsági másolat készítése..."}, steps.makeBackup,
       {"A programról nem sikerült biztonsági másolatot készíteni!\n\nA telepítést nem lehet végrehajtani!"}},
      {update, {"Adatbázis konverzió : v%s -> v%s", {V::OldVersion, V::AppVersion}}, steps.convertDatabase,
       {"Hiba történt az adatbáziskonverzió közben v%s -> v%s", {V::OldVersion, V::AppVersion}}},
  };
}

}  // namespace qz
