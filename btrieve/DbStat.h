#pragma once
// DBSTAT.QRT: the descriptions of the application's Btrieve tables, one
// section per file, beside setup.ini. A section runs from a "START" line to
// an "END" line and gives the file's name and the fields of its Stat reply:
//
//   START
//   File name=CIKK.DAT
//   Record length=100
//   Page size=1024
//   Nr. of segments=2
//   Idx=0,1,4,3,0,0,0,0
//   END
//
// The line after an "END" line is consumed with it, so sections are kept
// apart by one line (stored files are written that way).

#include "btrieve/TableDescription.h"
#include "platform/FileSystem.h"
#include "platform/LineReader.h"
#include "text/Text.h"

namespace qz {

inline constexpr const char* kTableStatisticsFile = "DBSTAT.QRT";

// Reads the next section of the open file: its name into `name` (left as it
// is when the section names none) and its fields into the specification
// block of `description`. True when a "START" line was read.
bool ReadTable(platform::LineReader& file, TableName& name, TableDescription& description);

// Reads every section of DBSTAT.QRT (from the working directory) into the
// map, a later section replacing an earlier one of the same name. False
// only when the file cannot be opened.
bool ReadTables(platform::FileSystem& files, TableMap& map);

// The same over a file already open.
void ReadTablesFrom(platform::LineReader& file, TableMap& map);

}  // namespace qz
