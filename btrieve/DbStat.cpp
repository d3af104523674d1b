#include "btrieve/DbStat.h"

#include <cstring>
#include <string_view>

#include "btrieve/LineForms.h"

namespace qz {
namespace {

using lineforms::AfterKeyword;
using lineforms::TakeChar;
using lineforms::TakeNumber;
using lineforms::TakeToken;

// A line is read as fgets reads it: with its line end, at most 1,023
// characters at a time (a longer line arrives in pieces).
constexpr std::size_t kLineLimit = 1023;

// A field of the specification block: the line's keyword (or, for the
// numbers of an "Idx=" line, what the number is), where it goes, how wide.
struct SpecField {
  const char* label;
  std::size_t offset;
  std::size_t width;
};

constexpr SpecField kSpecFields[] = {
    {"Record length=", 0, 2}, {"Page size=", 2, 2},  {"Nr. of segments=", 4, 1}, {"File version=", 5, 1},
    {"Nr. of records=", 6, 4}, {"File flags=", 10, 2}, {"Duplacted keys=", 12, 1}, {"Unused pages=", 14, 2},
};

// Where the eight numbers of an "Idx=" line go in a key specification.
constexpr SpecField kKeyFields[] = {
    {"key number", 14, 1}, {"position", 0, 2}, {"length", 2, 2},   {"flags", 4, 2},
    {"unique values", 6, 4}, {"extended type", 10, 1}, {"null value", 11, 1}, {"collating sequence", 15, 1},
};

// Little-endian; a value too wide for its field keeps its low-order bytes.
void Store(std::uint8_t* at, std::size_t width, std::uint32_t value) {
  for (std::size_t i = 0; i < width; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool ReadKeySpec(std::string_view rest, std::uint8_t* spec) {
  std::uint32_t values[8];
  for (int i = 0; i < 8; ++i) {
    if (i > 0 && !TakeChar(rest, ',')) return false;
    if (!TakeNumber(rest, values[i])) return false;
  }
  std::memset(spec, 0, TableDescription::kKeySpecSize);
  for (int i = 0; i < 8; ++i) Store(spec + kKeyFields[i].offset, kKeyFields[i].width, values[i]);
  return true;
}

// Tries the forms a started section is made of; true on a match.
bool ReadSectionLine(std::string_view line, TableName& name, TableDescription& description, std::size_t& keySpecs) {
  std::string_view rest;
  if (AfterKeyword(line, "File name=", rest)) {
    std::string_view token;
    if (!TakeToken(rest, token)) return false;
    // A name longer than a table name is not cut: cut, two such names could
    // become one and a table would take another's place. The line does not
    // count.
    if (token.size() > name.capacity() - 1) return false;
    name.Assign(token);
    return true;
  }
  for (const SpecField& field : kSpecFields) {
    if (!AfterKeyword(line, field.label, rest)) continue;
    std::uint32_t value;
    if (!TakeNumber(rest, value)) return false;
    Store(description.block + field.offset, field.width, value);
    return true;
  }
  if (AfterKeyword(line, "Idx=", rest)) {
    // Room for 119 key specifications; the block never grows past it, so
    // further "Idx=" lines do not count.
    if (keySpecs == TableDescription::kMaxKeySegments) return false;
    std::uint8_t* spec =
        description.block + TableDescription::kFileSpecSize + keySpecs * TableDescription::kKeySpecSize;
    if (!ReadKeySpec(rest, spec)) return false;
    ++keySpecs;
    return true;
  }
  return false;
}

}  // namespace

bool ReadTable(platform::LineReader& file, TableName& name, TableDescription& description) {
  bool started = false;
  bool ended = false;
  std::size_t keySpecs = 0;
  LogText line;
  while (file.ReadChunk(line, kLineLimit)) {
    // The line after "END" is read and dropped: sections are kept one line
    // apart, and two sections with nothing between them read as one.
    if (ended) break;
    std::string_view text = line.view();
    if (text.substr(0, 5) == "START") {
      started = true;
      continue;
    }
    if (started && ReadSectionLine(text, name, description, keySpecs)) continue;
    if (text.substr(0, 3) == "END") ended = true;
  }
  return started;
}

void ReadTablesFrom(platform::LineReader& file, TableMap& map) {
  for (;;) {
    auto description = std::make_unique<TableDescription>();
    TableName name;
    if (!ReadTable(file, name, *description)) break;
    description->changeCount = 0;
    // A section without a name is not kept: nothing could name its table.
    if (name.empty()) continue;
    map[std::string(name.view())] = std::move(description);
  }
}

bool ReadTables(platform::FileSystem& files, TableMap& map) {
  platform::ErrorCode error = platform::kOk;
  auto input = files.OpenForReading(kTableStatisticsFile, platform::kShareRead, error);
  if (!input) return false;
  platform::LineReader reader(std::move(input));
  ReadTablesFrom(reader, map);
  return true;
}

}  // namespace qz
