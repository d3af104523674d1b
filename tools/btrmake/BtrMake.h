#pragma once
// Makes a Btrieve file in the version 5 layout (the file control record
// with its key segments, no records) from a table's description in
// DBSTAT.QRT, such that the engine's Stat reply to it (with key number 0,
// as the setup program asks) equals the description; with key number -1
// also the version and the duplicate pointers to reserve, when the section
// gives them.
//
// A description the layout cannot carry is refused with the reason:
//   - page size: a multiple of 512 from 512 to 4096;
//   - file version: 0 (made as 5.0) or, as Stat reports it, 48 to 95
//     (0x30 to 0x5F: versions 3.0 to 5.15); version 6 is another layout;
//   - unused pages and byte 13: 0 (the file has no free pages);
//   - key segments: as many as the keys ("Nr. of segments", the number of
//     indexes) take, each key's segments but the last flagged segmented
//     (0x10); no "Idx=" line beyond them; each segment within the record
//     (position from 1); no manually assigned key number and no alternate
//     collating sequence (flag 0x20), which a section cannot describe;
//   - all segments in the one page of the file control record.
// The number of records and of unique key values are written as given,
// though the file holds no records.

#include <cstdint>
#include <string>
#include <vector>

#include "btrieve/TableDescription.h"

namespace qz::btrmake {

bool MakeVersion5File(const TableDescription& description, std::vector<std::uint8_t>& file, std::string& problem);

}  // namespace qz::btrmake
