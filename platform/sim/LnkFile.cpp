#include "platform/sim/LnkFile.h"

#include <ctime>

#include "text/CodePage.h"

namespace qz::platform::sim {
namespace {

// Link flags.
constexpr std::uint32_t kHasTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kIsUnicode = 0x80;

constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;
constexpr std::uint32_t kShowNormal = 1;
constexpr std::uint32_t kDriveFixed = 3;

// {00021401-0000-0000-C000-000000000046}, the shell-link class.
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// {20D04FE0-3AEA-1069-A2D8-08002B30309D}, My Computer.
constexpr unsigned char kMyComputer[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                           0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

void Put16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void Put64(std::string& out, std::uint64_t value) {
  Put32(out, static_cast<std::uint32_t>(value));
  Put32(out, static_cast<std::uint32_t>(value >> 32));
}

void Patch16(std::string& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutUtf16(std::string& out, std::u16string_view text) {
  for (char16_t unit : text) Put16(out, unit);
}

// FILETIME: 100-nanosecond steps since 1601.
std::uint64_t FileTime(std::int64_t unixSeconds) {
  if (unixSeconds <= 0) return 0;
  return (static_cast<std::uint64_t>(unixSeconds) + 11644473600ull) * 10000000ull;
}

// The FAT date (low half) and time (high half) of a moment, in local time
// as the shell stores it in an item; 0 when unknown.
std::uint32_t FatDateTime(std::int64_t unixSeconds) {
  if (unixSeconds <= 0) return 0;
  std::time_t when = static_cast<std::time_t>(unixSeconds);
  std::tm tm{};
  if (!localtime_r(&when, &tm) || tm.tm_year < 80) return 0;
  std::uint32_t date = static_cast<std::uint32_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  std::uint32_t time = static_cast<std::uint32_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
  return date | (time << 16);
}

bool FitsShortName(std::string_view name) {
  std::size_t dot = name.find('.');
  std::string_view base = name.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3 || ext.find('.') != std::string_view::npos) return false;
  for (char c : name) {
    if (c == ' ' || c == '+' || c == ',' || c == ';' || c == '=' || c == '[' || c == ']') return false;
  }
  return true;
}

// The 8.3 name of an item: the name itself when it is one, otherwise the
// form Windows gives the first long name of its kind in a directory.
std::string ShortName(std::string_view name) {
  if (FitsShortName(name)) return std::string(name);
  std::size_t dot = name.rfind('.');
  std::string_view base = dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot + 1);
  auto keep = [](std::string_view text, std::size_t count) {
    std::string out;
    for (char c : text) {
      if (out.size() == count) break;
      if (c == ' ' || c == '.') continue;
      bool invalid = c == '+' || c == ',' || c == ';' || c == '=' || c == '[' || c == ']';
      out += invalid ? '_' : static_cast<char>(UpperCp1250(static_cast<unsigned char>(c)));
    }
    return out;
  };
  std::string out = keep(base, 6) + "~1";
  std::string shortExt = keep(ext, 3);
  if (!shortExt.empty()) out += "." + shortExt;
  return out;
}

// A file-system item: type, size, modification time, attributes, the 8.3
// name, then the extension block that holds the long name.
std::string FileEntryItem(const LnkPathItem& item, bool isLast) {
  bool directory = item.exists ? item.isDirectory : !isLast;
  std::string out;
  Put16(out, 0);  // size, patched below
  out += static_cast<char>(directory ? 0x31 : 0x32);
  out += '\0';
  Put32(out, directory ? 0 : item.size);
  Put32(out, FatDateTime(item.modified));
  Put16(out, item.exists ? (directory ? kAttributeDirectory : kAttributeArchive) : 0);
  out += ShortName(item.name);
  out += '\0';
  if (out.size() % 2) out += '\0';

  std::size_t extension = out.size();
  std::u16string longName = Utf16FromCp1250(item.name);
  Put16(out, 0);  // size, patched below
  Put16(out, 3);  // version of the extension block
  Put32(out, 0xBEEF0004);
  Put32(out, FatDateTime(item.modified));  // created
  Put32(out, FatDateTime(item.modified));  // accessed
  Put16(out, 0x14);
  Put16(out, 0);  // no localised name
  PutUtf16(out, longName);
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(extension));
  Patch16(out, extension, static_cast<std::uint32_t>(out.size() - extension));
  Patch16(out, 0, static_cast<std::uint32_t>(out.size()));
  return out;
}

std::string TargetIdList(const LnkContents& link) {
  std::string items;
  // My Computer.
  Put16(items, 0x14);
  items += '\x1F';
  items += '\x50';
  items.append(reinterpret_cast<const char*>(kMyComputer), sizeof kMyComputer);
  // The drive: "C:\" in a 22-byte field.
  Put16(items, 0x19);
  items += '\x2F';
  std::string drive = link.target.substr(0, 2) + "\\";
  drive[0] = static_cast<char>(UpperCp1250(static_cast<unsigned char>(drive[0])));
  drive.resize(22, '\0');
  items += drive;
  for (std::size_t i = 0; i < link.items.size(); ++i) items += FileEntryItem(link.items[i], i + 1 == link.items.size());

  std::string out;
  Put16(out, static_cast<std::uint32_t>(items.size() + 2));
  out += items;
  Put16(out, 0);
  return out;
}

std::string LinkInfo(const LnkContents& link) {
  constexpr std::uint32_t kHeaderSize = 0x1C;
  std::string volume;
  Put32(volume, 0x11);  // size: the fields and an empty label
  Put32(volume, kDriveFixed);
  Put32(volume, 0);     // serial number
  Put32(volume, 0x10);  // label offset
  volume += '\0';

  std::uint32_t basePathOffset = kHeaderSize + static_cast<std::uint32_t>(volume.size());
  std::uint32_t suffixOffset = basePathOffset + static_cast<std::uint32_t>(link.target.size()) + 1;
  std::uint32_t size = suffixOffset + 1;
  std::string out;
  Put32(out, size);
  Put32(out, kHeaderSize);
  Put32(out, 1);  // a volume and a local base path
  Put32(out, kHeaderSize);
  Put32(out, basePathOffset);
  Put32(out, 0);  // no network location
  Put32(out, suffixOffset);
  out += volume;
  out += link.target;
  out += '\0';
  out += '\0';  // empty common path suffix
  return out;
}

void PutString(std::string& out, const std::string& text) {
  std::u16string wide = Utf16FromCp1250(text);
  Put16(out, static_cast<std::uint32_t>(wide.size()));
  PutUtf16(out, wide);
}

bool IsFullPath(const std::string& path) {
  return path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::string BuildShellLink(const LnkContents& link) {
  bool hasTarget = IsFullPath(link.target);
  std::uint32_t flags = kIsUnicode;
  if (hasTarget) flags |= kHasTargetIdList | kHasLinkInfo;
  if (link.description) flags |= kHasName;
  if (link.workingDirectory) flags |= kHasWorkingDir;
  if (link.arguments) flags |= kHasArguments;

  const LnkPathItem* target = hasTarget && !link.items.empty() ? &link.items.back() : nullptr;
  bool targetExists = target && target->exists;
  std::uint64_t time = targetExists ? FileTime(target->modified) : 0;

  std::string out;
  Put32(out, 0x4C);
  out.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
  Put32(out, flags);
  Put32(out, targetExists ? (target->isDirectory ? kAttributeDirectory : kAttributeArchive) : 0);
  Put64(out, time);  // created
  Put64(out, time);  // accessed
  Put64(out, time);  // written
  Put32(out, targetExists && !target->isDirectory ? target->size : 0);
  Put32(out, 0);  // icon index
  Put32(out, kShowNormal);
  Put16(out, 0);  // hot key
  Put16(out, 0);
  Put32(out, 0);
  Put32(out, 0);

  if (hasTarget) {
    out += TargetIdList(link);
    out += LinkInfo(link);
  }
  if (link.description) PutString(out, *link.description);
  if (link.workingDirectory) PutString(out, *link.workingDirectory);
  if (link.arguments) PutString(out, *link.arguments);
  Put32(out, 0);  // no extra data
  return out;
}

}  // namespace qz::platform::sim
