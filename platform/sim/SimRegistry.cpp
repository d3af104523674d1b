#include "platform/sim/SimRegistry.h"

#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "text/CodePage.h"
#include "text/TextParse.h"

namespace qz::platform::sim {
namespace {

constexpr std::uint32_t kTypeString = 1;
constexpr std::uint32_t kTypeDWord = 4;
constexpr std::size_t kMaxKeyName = 255;

std::vector<std::string> SplitSubkey(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < path.size()) {
    std::size_t end = path.find('\\', i);
    if (end == std::string_view::npos) end = path.size();
    if (end > i) parts.emplace_back(path.substr(i, end - i));
    i = end + 1;
  }
  return parts;
}

// Where HKEY_CLASSES_ROOT and HKEY_CURRENT_CONFIG live in the machine's tree.
std::string AliasPrefix(RootKey root) {
  switch (root) {
    case RootKey::ClassesRoot: return "Software\\Classes\\";
    case RootKey::CurrentConfig: return "System\\CurrentControlSet\\Hardware Profiles\\Current\\";
    default: return "";
  }
}

std::string HexText(const std::string& data) {
  std::string out;
  char item[4];
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(item, sizeof item, "%02x", static_cast<unsigned char>(data[i]));
    if (i) out += ',';
    out += item;
  }
  return out;
}

bool IsPlainString(const std::string& data) {
  if (data.empty() || data.back() != '\0') return false;
  for (std::size_t i = 0; i + 1 < data.size(); ++i) {
    if (data[i] == '\0' || data[i] == '\r' || data[i] == '\n') return false;
  }
  return true;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Reads a quoted text at `pos` (which holds the opening quote).
bool ParseQuoted(const std::string& line, std::size_t& pos, std::string& out) {
  out.clear();
  ++pos;
  while (pos < line.size()) {
    char c = line[pos++];
    if (c == '"') return true;
    if (c == '\\' && pos < line.size()) c = line[pos++];
    out += c;
  }
  return false;
}

bool ParseHexBytes(std::string_view text, std::string& out) {
  out.clear();
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == ',')) ++i;
    if (i >= text.size()) break;
    unsigned value = 0;
    int digits = 0;
    for (int digit; i < text.size() && (digit = HexDigit(text[i])) >= 0; ++i, ++digits) {
      value = value * 16 + static_cast<unsigned>(digit);
    }
    if (digits == 0 || digits > 2) return false;
    out += static_cast<char>(value);
  }
  return true;
}

}  // namespace

SimRegistry::SimRegistry(std::filesystem::path file)
    : file_(std::move(file)),
      machine_(std::make_shared<Key>()),
      user_(std::make_shared<Key>()),
      users_(std::make_shared<Key>()) {
  machine_->name = "HKEY_LOCAL_MACHINE";
  user_->name = "HKEY_CURRENT_USER";
  users_->name = "HKEY_USERS";
  std::string lockPath = file_.string() + ".lock";
  lockFd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lockFd_ < 0) throw std::runtime_error("cannot create the registry lock " + lockPath);
  for (int attempt = 0; flock(lockFd_, LOCK_EX | LOCK_NB) != 0; ++attempt) {
    if (attempt == 300) {
      close(lockFd_);
      throw std::runtime_error("the registry " + file_.string() + " is in use by another program");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  Load();
}

SimRegistry::~SimRegistry() {
  if (lockFd_ >= 0) {
    flock(lockFd_, LOCK_UN);
    close(lockFd_);
  }
}

SimRegistry::Key* SimRegistry::KeyForPath(const std::string& path, bool create) {
  std::vector<std::string> parts = SplitSubkey(path);
  if (parts.empty()) return nullptr;
  Key* key = nullptr;
  if (parts[0] == "HKEY_LOCAL_MACHINE") key = machine_.get();
  else if (parts[0] == "HKEY_CURRENT_USER") key = user_.get();
  else if (parts[0] == "HKEY_USERS") key = users_.get();
  else return nullptr;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    Key* next = nullptr;
    for (auto& sub : key->subkeys) {
      if (EqualsNoCase(sub->name, parts[i])) next = sub.get();
    }
    if (!next) {
      if (!create) return nullptr;
      auto made = std::make_shared<Key>();
      made->name = parts[i];
      made->parent = key;
      auto at = std::lower_bound(key->subkeys.begin(), key->subkeys.end(), made,
                                 [](const auto& a, const auto& b) { return CompareNoCase(a->name, b->name) < 0; });
      next = made.get();
      key->subkeys.insert(at, made);
    }
    key = next;
  }
  return key;
}

void SimRegistry::Load() {
  std::ifstream in(file_, std::ios::binary);
  if (!in) return;
  std::string line, logical;
  Key* current = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A trailing backslash continues a value on the next line.
    if (!line.empty() && line.back() == '\\' && line.find('=') != std::string::npos) {
      logical += line.substr(0, line.size() - 1);
      continue;
    }
    if (!logical.empty()) {
      std::size_t start = line.find_first_not_of(' ');
      logical += start == std::string::npos ? "" : line.substr(start);
      line.swap(logical);
      logical.clear();
    }
    if (line.empty() || line == "REGEDIT4" || line[0] == ';') continue;
    if (line[0] == '[') {
      std::size_t close = line.rfind(']');
      current = close == std::string::npos ? nullptr : KeyForPath(line.substr(1, close - 1), true);
      continue;
    }
    if (!current) continue;
    std::string name;
    std::size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (line[0] == '"') {
      if (!ParseQuoted(line, pos, name)) continue;
    } else {
      continue;
    }
    if (pos >= line.size() || line[pos] != '=') continue;
    ++pos;
    Value value{name, kTypeString, ""};
    std::string_view rest(line.c_str() + pos, line.size() - pos);
    if (!rest.empty() && rest[0] == '"') {
      std::string text;
      if (!ParseQuoted(line, pos, text)) continue;
      value.data = text + '\0';
    } else if (rest.substr(0, 6) == "dword:") {
      unsigned long number = std::strtoul(std::string(rest.substr(6)).c_str(), nullptr, 16);
      std::uint32_t dword = static_cast<std::uint32_t>(number);
      value.type = kTypeDWord;
      value.data.assign(reinterpret_cast<const char*>(&dword), 4);
    } else if (rest.substr(0, 4) == "hex:") {
      value.type = static_cast<std::uint32_t>(ValueType::Binary);
      if (!ParseHexBytes(rest.substr(4), value.data)) continue;
    } else if (rest.substr(0, 4) == "hex(") {
      std::size_t close = rest.find("):");
      if (close == std::string_view::npos) continue;
      value.type = static_cast<std::uint32_t>(std::strtoul(std::string(rest.substr(4, close - 4)).c_str(), nullptr, 16));
      if (!ParseHexBytes(rest.substr(close + 2), value.data)) continue;
    } else {
      continue;
    }
    auto same = std::find_if(current->values.begin(), current->values.end(),
                             [&](const Value& v) { return EqualsNoCase(v.name, name); });
    if (same != current->values.end()) *same = value;
    else current->values.push_back(value);
  }
}

void SimRegistry::VisitKey(const Key& key, const std::string& path, const KeyVisitor& visit) {
  std::vector<ExportedValue> values;
  for (const Value& v : key.values) {
    ExportedValue& out = values.emplace_back();
    out.name = v.name;
    out.line = v.name.empty() ? std::string("@") : Quoted(v.name);
    out.line += '=';
    if (v.type == kTypeString && IsPlainString(v.data)) {
      out.line += Quoted(v.data.substr(0, v.data.size() - 1));
    } else if (v.type == kTypeDWord && v.data.size() == 4) {
      std::uint32_t dword;
      std::memcpy(&dword, v.data.data(), 4);
      out.dword = dword;
      char text[16];
      std::snprintf(text, sizeof text, "dword:%08x", dword);
      out.line += text;
    } else if (v.type == static_cast<std::uint32_t>(ValueType::Binary)) {
      out.line += "hex:" + HexText(v.data);
    } else {
      char prefix[16];
      std::snprintf(prefix, sizeof prefix, "hex(%x):", v.type);
      out.line += prefix + HexText(v.data);
    }
  }
  visit(path, values);
  for (const auto& sub : key.subkeys) VisitKey(*sub, path + "\\" + sub->name, visit);
}

void SimRegistry::ForEachKey(const KeyVisitor& visit) const {
  for (const auto& root : {machine_, user_, users_}) {
    for (const auto& sub : root->subkeys) VisitKey(*sub, root->name + "\\" + sub->name, visit);
  }
}

std::string SimRegistry::ExportText() const {
  std::string out = "REGEDIT4\r\n";
  ForEachKey([&out](const std::string& path, const std::vector<ExportedValue>& values) {
    out += "\r\n[" + path + "]\r\n";
    for (const ExportedValue& value : values) out += value.line + "\r\n";
  });
  return out;
}

void SimRegistry::Save() {
  std::string text = ExportText();
  std::filesystem::path temp = file_;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) return;
  }
  std::error_code ignored;
  std::filesystem::rename(temp, file_, ignored);
}

std::shared_ptr<SimRegistry::Key> SimRegistry::FindKey(RootKey root, const char* subkey, ErrorCode& error,
                                                      bool create) {
  std::shared_ptr<Key> key;
  switch (root) {
    case RootKey::CurrentUser: key = user_; break;
    case RootKey::Users: key = users_; break;
    default: key = machine_; break;
  }
  std::string path = AliasPrefix(root) + (subkey ? subkey : "");
  if (!path.empty() && path[0] == '\\') {
    error = kErrorBadPathname;
    return nullptr;
  }
  for (const std::string& part : SplitSubkey(path)) {
    if (part.size() > kMaxKeyName) {
      error = kErrorInvalidParameter;
      return nullptr;
    }
    auto at = std::lower_bound(key->subkeys.begin(), key->subkeys.end(), part,
                               [](const auto& a, const std::string& b) { return CompareNoCase(a->name, b) < 0; });
    if (at != key->subkeys.end() && EqualsNoCase((*at)->name, part)) {
      key = *at;
      continue;
    }
    if (!create) {
      error = kErrorFileNotFound;
      return nullptr;
    }
    if (WritesDenied(*key)) {
      error = kErrorAccessDenied;
      return nullptr;
    }
    auto made = std::make_shared<Key>();
    made->name = part;
    made->parent = key.get();
    key->subkeys.insert(at, made);
    key = made;
  }
  error = kOk;
  return key;
}

bool SimRegistry::WritesDenied(const Key& key) const {
  for (const Key* k = &key; k; k = k->parent) {
    if (k->denyWrites) return true;
  }
  return false;
}

void SimRegistry::KillAtWrite(int nth, std::vector<std::string> keyPaths) {
  killAt_ = nth;
  killWrites_ = 0;
  killUnder_ = std::move(keyPaths);
}

std::string SimRegistry::PathOf(const Key& key) const {
  const Key* top = &key;
  std::string path;
  for (; top->parent; top = top->parent) path = "\\" + top->name + path;
  const char* root = top == machine_.get() ? "HKEY_LOCAL_MACHINE" : top == user_.get() ? "HKEY_CURRENT_USER" : "HKEY_USERS";
  return root + path;
}

void SimRegistry::DenyWrites(RootKey root, const char* subkey) {
  ErrorCode error;
  auto key = FindKey(root, subkey, error, true);
  if (key) key->denyWrites = true;
  Save();
}

SimRegistry::Handle* SimRegistry::Lookup(KeyHandle key) {
  auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

ErrorCode SimRegistry::OpenKey(RootKey root, const char* subkey, KeyAccess access, KeyHandle& key) {
  key = 0;
  ErrorCode error;
  auto found = FindKey(root, subkey, error, false);
  if (!found) return error;
  key = nextHandle_++;
  handles_[key] = Handle{found, access};
  return kOk;
}

ErrorCode SimRegistry::CreateKey(RootKey root, const char* subkey, KeyHandle& key) {
  key = 0;
  ErrorCode error;
  auto found = FindKey(root, subkey, error, true);
  if (!found) {
    Save();
    return error;
  }
  Save();
  key = nextHandle_++;
  handles_[key] = Handle{found, KeyAccess::Write};
  return kOk;
}

void SimRegistry::CloseKey(KeyHandle key) { handles_.erase(key); }

ErrorCode SimRegistry::QueryValue(KeyHandle key, const char* name, ValueType* type, void* data,
                                  std::uint32_t& size) {
  Handle* h = Lookup(key);
  if (!h) return kErrorInvalidHandle;
  if (h->key->deleted) return kErrorKeyDeleted;
  if (h->access == KeyAccess::Write) return kErrorAccessDenied;
  std::string_view wanted = name ? name : "";
  for (const Value& v : h->key->values) {
    if (!EqualsNoCase(v.name, wanted)) continue;
    if (type) *type = static_cast<ValueType>(v.type);
    std::uint32_t needed = static_cast<std::uint32_t>(v.data.size());
    bool fits = data == nullptr || needed <= size;
    if (data && fits) std::memcpy(data, v.data.data(), needed);
    size = needed;
    if (data && !fits) return kErrorMoreData;
    return v.unconvertible ? kErrorNoUnicodeTranslation : kOk;
  }
  return kErrorFileNotFound;
}

ErrorCode SimRegistry::SetUnconvertibleString(KeyHandle key, const char* name, const char* shown) {
  ErrorCode error = SetValue(key, name, ValueType::String, shown, static_cast<std::uint32_t>(std::strlen(shown) + 1));
  if (error != kOk) return error;
  std::string_view wanted = name ? name : "";
  for (Value& v : Lookup(key)->key->values) {
    if (EqualsNoCase(v.name, wanted)) v.unconvertible = true;
  }
  return kOk;
}

ErrorCode SimRegistry::SetValue(KeyHandle key, const char* name, ValueType type, const void* data,
                                std::uint32_t size) {
  Handle* h = Lookup(key);
  if (!h) return kErrorInvalidHandle;
  if (h->key->deleted) return kErrorKeyDeleted;
  if (h->access == KeyAccess::Read || WritesDenied(*h->key)) return kErrorAccessDenied;
  if (killAt_ > 0) {
    std::string path = PathOf(*h->key);
    for (const std::string& under : killUnder_) {
      bool below = StartsWithNoCase(path, under) && (path.size() == under.size() || path[under.size()] == '\\');
      if (below && ++killWrites_ == killAt_) std::_Exit(137);
    }
  }
  std::string_view wanted = name ? name : "";
  std::string bytes(static_cast<const char*>(data), size);
  auto& values = h->key->values;
  auto same = std::find_if(values.begin(), values.end(), [&](const Value& v) { return EqualsNoCase(v.name, wanted); });
  if (same != values.end()) {
    same->type = static_cast<std::uint32_t>(type);
    same->data = bytes;
    same->unconvertible = false;
  } else {
    values.push_back(Value{std::string(wanted), static_cast<std::uint32_t>(type), bytes});
  }
  Save();
  return kOk;
}

ErrorCode SimRegistry::QueryInfo(KeyHandle key, std::uint32_t& subkeys, std::uint32_t& values) {
  Handle* h = Lookup(key);
  if (!h) return kErrorInvalidHandle;
  if (h->key->deleted) return kErrorKeyDeleted;
  subkeys = static_cast<std::uint32_t>(h->key->subkeys.size());
  values = static_cast<std::uint32_t>(h->key->values.size());
  return kOk;
}

ErrorCode SimRegistry::EnumValue(KeyHandle key, std::uint32_t index, TextBuffer& name) {
  Handle* h = Lookup(key);
  if (!h) return kErrorInvalidHandle;
  if (h->key->deleted) return kErrorKeyDeleted;
  if (index >= h->key->values.size()) return kErrorNoMoreItems;
  const std::string& found = h->key->values[index].name;
  if (found.size() >= name.capacity()) return kErrorMoreData;
  name.Assign(found);
  return kOk;
}

ErrorCode SimRegistry::EnumKey(KeyHandle key, std::uint32_t index, TextBuffer& name) {
  Handle* h = Lookup(key);
  if (!h) return kErrorInvalidHandle;
  if (h->key->deleted) return kErrorKeyDeleted;
  if (index >= h->key->subkeys.size()) return kErrorNoMoreItems;
  const std::string& found = h->key->subkeys[index]->name;
  if (found.size() >= name.capacity()) return kErrorMoreData;
  name.Assign(found);
  return kOk;
}

ErrorCode SimRegistry::DeleteValue(KeyHandle key, const char* name) {
  Handle* h = Lookup(key);
  if (!h) return kErrorInvalidHandle;
  if (h->key->deleted) return kErrorKeyDeleted;
  if (h->access == KeyAccess::Read || WritesDenied(*h->key)) return kErrorAccessDenied;
  if (killAt_ > 0) {
    std::string path = PathOf(*h->key);
    for (const std::string& under : killUnder_) {
      bool below = StartsWithNoCase(path, under) && (path.size() == under.size() || path[under.size()] == '\\');
      if (below && ++killWrites_ == killAt_) std::_Exit(137);
    }
  }
  std::string_view wanted = name ? name : "";
  auto& values = h->key->values;
  auto same = std::find_if(values.begin(), values.end(), [&](const Value& v) { return EqualsNoCase(v.name, wanted); });
  if (same == values.end()) return kErrorFileNotFound;
  values.erase(same);
  Save();
  return kOk;
}

ErrorCode SimRegistry::DeleteKey(RootKey root, const char* subkey) {
  ErrorCode error;
  auto key = FindKey(root, subkey, error, false);
  if (!key) return error;
  if (!key->parent) return kErrorAccessDenied;  // a root key itself
  if (!key->subkeys.empty()) return kErrorAccessDenied;
  if (WritesDenied(*key)) return kErrorAccessDenied;
  auto& siblings = key->parent->subkeys;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), key), siblings.end());
  key->deleted = true;
  key->parent = nullptr;
  Save();
  return kOk;
}

}  // namespace qz::platform::sim
