#include "common/RegistryFile.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "text/TextParse.h"

namespace qz {
namespace {

constexpr std::size_t kMaxLine = 511;
constexpr std::size_t kBinaryCapacity = 1024;

// Reads an unsigned hexadecimal number after optional blanks, as "%x"
// does. False when no digit follows or the number does not fit 32 bits.
bool ParseHex32(std::string_view text, std::uint32_t& value) {
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string_view::npos) return false;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') && i + 2 < text.size() &&
      HexDigit(text[i + 2]) >= 0) {
    i += 2;
  }
  std::uint64_t number = 0;
  std::size_t digits = 0;
  for (int d; i < text.size() && (d = HexDigit(text[i])) >= 0; ++i, ++digits) {
    number = number * 16 + static_cast<unsigned>(d);
    if (number > 0xFFFFFFFFu) return false;
  }
  value = static_cast<std::uint32_t>(number);
  return digits > 0;
}

// The lowest byte of a hexadecimal item; an empty item, or one that is no
// number, stores 0.
unsigned char BinaryItem(std::string_view item) {
  std::uint64_t number = 0;
  std::size_t i = item.find_first_not_of(" \t");
  for (int d; i < item.size() && (d = HexDigit(item[i])) >= 0; ++i) number = (number * 16 + static_cast<unsigned>(d)) & 0xFF;
  return static_cast<unsigned char>(number);
}

}  // namespace

bool RegistryFile::Open(const char* path) {
  platform::ErrorCode error;
  auto file = files_.OpenForReading(path, platform::kShareRead, error);
  if (!file) return false;
  reader_ = std::make_unique<platform::LineReader>(std::move(file));
  return true;
}

bool RegistryFile::Import(bool raiseDwords) {
  lineNumber_ = 0;
  if (!reader_ || !reader_->Rewind()) return false;
  KeyPathText keyPath;
  // A key line longer than a key path may be names no key: the values below
  // it fail rather than land under a shortened key.
  bool keyTooLong = false;
  std::string line;
  while (reader_->ReadLine(line)) {
    ++lineNumber_;
    std::string_view text = TextLine(line);
    if (text.empty()) continue;
    if (text[0] == '[') {
      std::size_t first = text.find_first_not_of('[');
      std::string_view inner = first == std::string_view::npos ? std::string_view() : text.substr(first);
      std::size_t last = inner.find_last_not_of(']');
      inner = last == std::string_view::npos ? std::string_view() : inner.substr(0, last + 1);
      keyTooLong = !keyPath.Assign(inner) || inner.size() > kMaxLine;
      continue;
    }
    if (keyPath.empty() && !keyTooLong) return false;
    if (keyTooLong || !ApplyValueLine(keyPath.view(), text, raiseDwords)) return false;
  }
  return true;
}

bool RegistryFile::ApplyValueLine(std::string_view keyPath, std::string_view line, bool raiseDwords) {
  // A line longer than the 511 characters of the line buffer is refused
  // whole instead of being applied cut.
  if (line.size() > kMaxLine) return false;
  NameText name;
  bool whole = true;
  int close = expander_.Expand(line, name, &whole);
  if (close == 0 || !whole) return false;
  std::string_view rest = line.substr(static_cast<std::size_t>(close) + 1);
  if (line.find("dword:") != std::string_view::npos) {
    if (rest.substr(0, 7) != "=dword:") return false;
    return ApplyDWord(keyPath, name.c_str(), rest.substr(7), raiseDwords);
  }
  if (line.find("hex:") != std::string_view::npos) {
    if (rest.substr(0, 5) != "=hex:") return false;
    return ApplyBinary(keyPath, name.c_str(), rest.substr(5));
  }
  return ApplyString(keyPath, name.c_str(), rest);
}

bool RegistryFile::ApplyDWord(std::string_view keyPath, const char* name, std::string_view number, bool raiseDwords) {
  // A number that cannot be read fails the line: nothing is stored for it.
  std::uint32_t wanted;
  if (!ParseHex32(number, wanted)) return false;
  std::uint32_t stored;
  if (!registry_.GetValueDWord(keyPath, name, stored)) return registry_.SetValueDWord(keyPath, name, wanted);
  if (raiseDwords && wanted > stored) registry_.SetValueDWord(keyPath, name, wanted);
  return true;
}

bool RegistryFile::ApplyBinary(std::string_view keyPath, const char* name, std::string_view items) {
  unsigned char bytes[kBinaryCapacity] = {};
  std::uint32_t count = 0;
  for (std::size_t start = 0; count < kBinaryCapacity;) {
    std::size_t comma = items.find(',', start);
    std::string_view item = items.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    bytes[count++] = BinaryItem(item);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  unsigned char present[kBinaryCapacity];
  if (registry_.GetValueBinary(keyPath, name, present, sizeof present)) return true;
  return registry_.SetValueBinary(keyPath, name, bytes, count);
}

bool RegistryFile::ApplyString(std::string_view keyPath, const char* name, std::string_view rest) {
  FixedText<kMaxLine + 1> text;
  bool whole = true;
  expander_.Expand(rest, text, &whole);
  // A text that grows past 511 characters with its macros is not stored cut.
  if (!whole) return false;
  NameText present;
  if (registry_.GetValueString(keyPath, name, present)) return true;
  return registry_.SetValueString(keyPath, name, text.c_str());
}

}  // namespace qz
