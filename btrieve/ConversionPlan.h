#pragma once
// What a conversion pass works from: the installed version, the tables
// DBSTAT.QRT describes and the changes DBCHANGE.QRT lists for them.
//
// DBCHANGE.QRT, one item per line:
//
//   AppVesion=1.2          the changes below convert databases of 1.2
//   TABLE=CIKK.DAT         changes of one table (named as in DBSTAT.QRT)
//   INSERT_FIELD=12,4      a field of 4 bytes inserted at 12
//   APPEND_FIELD=8         a field of 8 bytes appended to the record
//   INSERT_RECORD=ABC      a record inserted
//   END_TABLE
//
// ("AppVesion" is the keyword as stored files spell it.)

#include <string_view>

#include "btrieve/TableDescription.h"
#include "platform/FileSystem.h"
#include "platform/LineReader.h"
#include "text/Text.h"

namespace qz {

inline constexpr const char* kConversionScriptFile = "DBCHANGE.QRT";

// What the reader made of the version sections of DBCHANGE.QRT, for tools
// that explain a script; reading does not depend on it.
class ConversionScriptObserver {
 public:
  virtual ~ConversionScriptObserver() = default;
  // An "AppVesion=" line with its token (lines count from 1), and whether
  // its section applies to the plan's version.
  virtual void VersionSection(int line, std::string_view version, bool active) = 0;
};

class ConversionPlan {
 public:
  // Stores the installed version, reads DBSTAT.QRT and, when that could be
  // opened, DBCHANGE.QRT. True when both files could be opened.
  bool Load(platform::FileSystem& files, std::string_view version, ConversionScriptObserver* observer = nullptr);

  // Adds the changes of an open DBCHANGE.QRT to the tables of the plan.
  void ReadScript(platform::LineReader& file, ConversionScriptObserver* observer = nullptr);

  const VersionText& version() const { return version_; }
  // A version longer than a version text is kept cut but matches no
  // section.
  void SetVersion(std::string_view version) { versionWhole_ = version_.Assign(version); }
  TableMap& tables() { return tables_; }
  const TableMap& tables() const { return tables_; }

 private:
  VersionText version_;
  bool versionWhole_ = true;
  TableMap tables_;
};

}  // namespace qz
