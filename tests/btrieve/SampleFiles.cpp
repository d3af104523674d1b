#include "tests/btrieve/SampleFiles.h"

#include <fstream>
#include <iterator>

namespace qz::test {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}

void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// A collating sequence block: the mark, the 8-byte name, the table.
std::vector<std::uint8_t> Sequence(const char (&name)[9], int from, int to, int shift) {
  std::vector<std::uint8_t> block(265);
  block[0] = 0xAC;
  for (int i = 0; i < 8; ++i) block[1 + i] = static_cast<std::uint8_t>(name[i]);
  for (int i = 0; i < 256; ++i) block[9 + i] = static_cast<std::uint8_t>(i >= from && i <= to ? i + shift : i);
  return block;
}

std::vector<SampleReply> MakeReplies() {
  std::vector<SampleReply> replies;

  // MBBSEMU.DAT: version 0x0400, pages of 512, 4 keys, records of 74, 4 records.
  SampleReply mbbsemu{"MBBSEMU.DAT", {}, 0x40};
  mbbsemu.reply = Bytes({0x4A, 0x00, 0x00, 0x02, 4, 0, 4, 0, 0, 0, 0x00, 0x00, 0, 0, 0, 0});
  //                     position    length      flags       unique values  type null  res   key acs
  Append(mbbsemu.reply, Bytes({3, 0, 32, 0, 0x01, 0x01, 1, 0, 0, 0, 11, 0, 0, 0, 0, 0}));
  Append(mbbsemu.reply, Bytes({35, 0, 4, 0, 0x02, 0x01, 4, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
  Append(mbbsemu.reply, Bytes({39, 0, 32, 0, 0x03, 0x01, 4, 0, 0, 0, 11, 0, 0, 0, 0, 0}));
  Append(mbbsemu.reply, Bytes({71, 0, 4, 0, 0x00, 0x01, 4, 0, 0, 0, 15, 0, 0, 0, 0, 0}));
  replies.push_back(mbbsemu);

  // VARIABLE.DAT: version 0x0400, pages of 512, 2 keys, records of 8,
  // 1,024 records, variable-length records.
  SampleReply variable{"VARIABLE.DAT", {}, 0x40};
  variable.reply = Bytes({0x08, 0x00, 0x00, 0x02, 2, 0, 0x00, 0x04, 0, 0, 0x01, 0x00, 0, 0, 0, 0});
  Append(variable.reply, Bytes({5, 0, 2, 0, 0x01, 0x01, 64, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
  Append(variable.reply, Bytes({7, 0, 2, 0, 0x00, 0x01, 0x00, 0x04, 0, 0, 1, 0, 0, 0, 0, 0}));
  replies.push_back(variable);

  // MULTIACS.DAT: version 6.1, pages of 4,096, 3 keys in 4 segments,
  // records of 128, none stored, variable-length records; key 0 collates
  // with ALLCAPS (sequence 0), key 2 with LOWER (sequence 1).
  SampleReply multiacs{"MULTIACS.DAT", {}, 0x61};
  multiacs.reply = Bytes({0x80, 0x00, 0x00, 0x10, 3, 0, 0, 0, 0, 0, 0x01, 0x00, 0, 0, 0, 0});
  Append(multiacs.reply, Bytes({3, 0, 16, 0, 0x21, 0x05, 0, 0, 0, 0, 11, 0, 0, 0, 0, 0}));
  Append(multiacs.reply, Bytes({21, 0, 4, 0, 0x10, 0x01, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
  Append(multiacs.reply, Bytes({25, 0, 8, 0, 0x00, 0x01, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0}));
  Append(multiacs.reply, Bytes({31, 0, 16, 0, 0x20, 0x05, 0, 0, 0, 0, 11, 0, 0, 0, 0, 1}));
  Append(multiacs.reply, Sequence("ALLCAPS\0", 'a', 'z', -32));
  Append(multiacs.reply, Sequence("LOWER\0\0\0", 'A', 'Z', 32));
  replies.push_back(multiacs);
  return replies;
}

}  // namespace

std::filesystem::path SamplesDir() {
  std::filesystem::path dir = QZ_BTRIEVE_SAMPLES;
  std::error_code error;
  if (!std::filesystem::is_regular_file(dir / "MBBSEMU.DAT", error)) return {};
  return dir;
}

std::vector<std::uint8_t> ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<SampleReply>& SampleReplies() {
  static const std::vector<SampleReply> replies = MakeReplies();
  return replies;
}

}  // namespace qz::test
