#include "btrieve/ConversionPlan.h"

#include "btrieve/DbStat.h"
#include "btrieve/LineForms.h"

namespace qz {
namespace {

using lineforms::AfterKeyword;
using lineforms::TakeChar;
using lineforms::TakeNumber;
using lineforms::TakeToken;

constexpr std::size_t kLineLimit = 1023;
constexpr std::size_t kMaxVersionLength = 31;
constexpr std::size_t kMaxTableNameLength = 15;
constexpr std::size_t kMaxRecordTextLength = 259;

// Takes the next change of the table; a table holds at most 32 and further
// changes are dropped rather than written past the list.
TableChange* NextChange(TableDescription& table) {
  if (table.changeCount < 0 || table.changeCount >= static_cast<std::int32_t>(TableDescription::kMaxChanges)) {
    return nullptr;
  }
  return &table.changes[table.changeCount++];
}

}  // namespace

bool ConversionPlan::Load(platform::FileSystem& files, std::string_view version, ConversionScriptObserver* observer) {
  SetVersion(version);
  if (!ReadTables(files, tables_)) return false;
  platform::ErrorCode error = platform::kOk;
  auto input = files.OpenForReading(kConversionScriptFile, platform::kShareRead, error);
  if (!input) return false;
  platform::LineReader reader(std::move(input));
  ReadScript(reader, observer);
  return true;
}

void ConversionPlan::ReadScript(platform::LineReader& file, ConversionScriptObserver* observer) {
  // A section is active when the version it names is the installed version,
  // exactly as written. The changes of a section convert databases that
  // are in that version's layout; applied to any other version they would
  // damage them. Version texts have no order that could be trusted to put
  // sections of several versions in sequence (1.9 sorts after 1.10), so no
  // section applies to a version it does not name.
  bool active = false;
  TableDescription* current = nullptr;
  LogText line;
  // A line longer than a read arrives in pieces; it ends with the piece
  // that holds its line end.
  // A chunk that starts with a NUL byte (a file saved as UTF-16) has no
  // text at all; whether it ended its line is told by the reader.
  int lineNumber = 0;
  bool lineEnded = true;
  bool chunkEndsLine = false;
  while (file.ReadChunk(line, kLineLimit, &chunkEndsLine)) {
    std::string_view text = line.view();
    if (lineEnded) ++lineNumber;
    lineEnded = chunkEndsLine;
    std::string_view rest;
    std::string_view token;
    if (AfterKeyword(text, "AppVesion=", rest)) {
      if (!TakeToken(rest, token)) continue;
      // A version longer than a version text can only name another version
      // than the installed one: its section is inactive, not cut to match.
      active = versionWhole_ && token.size() <= kMaxVersionLength && token == version_.view();
      if (observer) observer->VersionSection(lineNumber, token, active);
      continue;
    }
    if (!active) continue;
    if (AfterKeyword(text, "TABLE=", rest)) {
      if (!TakeToken(rest, token)) continue;
      // A name longer than a table name names no table in the map; the
      // current table stays, as for any table the map lacks.
      if (token.size() > kMaxTableNameLength) continue;
      auto found = tables_.find(token);
      if (found != tables_.end()) current = found->second.get();
      continue;
    }
    if (text == "END_TABLE\n" || text == "END_TABLE") {
      current = nullptr;
      continue;
    }
    if (!current) continue;
    if (AfterKeyword(text, "INSERT_FIELD=", rest)) {
      std::uint32_t position;
      std::uint32_t length;
      if (!TakeNumber(rest, position) || !TakeChar(rest, ',') || !TakeNumber(rest, length)) continue;
      if (TableChange* change = NextChange(*current)) {
        change->position = position;
        change->length = length;
      }
      continue;
    }
    if (AfterKeyword(text, "APPEND_FIELD=", rest)) {
      std::uint32_t length;
      if (!TakeNumber(rest, length)) continue;
      if (TableChange* change = NextChange(*current)) {
        change->position = kAppendPosition;
        change->length = length;
      }
      continue;
    }
    if (AfterKeyword(text, "INSERT_RECORD=", rest)) {
      if (!TakeToken(rest, token)) continue;
      // A record cut short would be inserted wrong: a longer one is dropped.
      if (token.size() > kMaxRecordTextLength) continue;
      if (TableChange* change = NextChange(*current)) change->recordText.Assign(token);
    }
  }
}

}  // namespace qz
