// What the logic relies on from the registry, on both platforms. (The keys
// and values the programs write are compared between the two by the
// end-to-end runs.)

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/Registry.h"
#include "tests/support/TestMachine.h"

namespace qz::test {
namespace {

using namespace platform;

class RegistryStoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<TestMachine> machine_ = TestMachine::Create();
  RegistryStore& store_ = machine_->platform().registry;
  std::string Key(const std::string& sub) { return machine_->scratchKey() + "\\" + sub; }

  void SetString(const std::string& key, const char* name, const char* text) {
    KeyHandle handle;
    ASSERT_EQ(store_.CreateKey(RootKey::CurrentUser, key.c_str(), handle), kOk);
    EXPECT_EQ(store_.SetValue(handle, name, ValueType::String, text, static_cast<std::uint32_t>(std::strlen(text) + 1)),
              kOk);
    store_.CloseKey(handle);
  }
};

TEST_F(RegistryStoreTest, CreateMakesMissingParentsNamesIgnoreCaseAndSmallBuffersFail) {
  SetString(Key("Vormex kft\\App"), "Home Dir", "C:\\APP");
  KeyHandle key;
  ASSERT_EQ(store_.OpenKey(RootKey::CurrentUser, Key("VORMEX KFT\\app").c_str(), KeyAccess::Read, key), kOk);
  char data[64] = {};
  std::uint32_t size = sizeof data;
  ValueType type;
  ASSERT_EQ(store_.QueryValue(key, "home dir", &type, data, size), kOk);
  EXPECT_EQ(type, ValueType::String);
  EXPECT_EQ(size, 7u) << "the terminating zero is stored";
  EXPECT_STREQ(data, "C:\\APP");
  NameText name;
  ASSERT_EQ(store_.EnumValue(key, 0, name), kOk);
  EXPECT_EQ(name, "Home Dir") << "names keep their case";
  // A value too large for the buffer fails and tells its size.
  size = 4;
  EXPECT_EQ(store_.QueryValue(key, "home dir", nullptr, data, size), kErrorMoreData);
  EXPECT_EQ(size, 7u);
  size = sizeof data;
  EXPECT_EQ(store_.QueryValue(key, "missing", nullptr, data, size), kErrorFileNotFound);
  store_.CloseKey(key);
  EXPECT_EQ(store_.OpenKey(RootKey::CurrentUser, Key("none").c_str(), KeyAccess::Read, key), kErrorFileNotFound);
}

TEST_F(RegistryStoreTest, EnumerationAndCounts) {
  SetString(Key("k\\Zed"), "x", "1");
  SetString(Key("k\\alpha"), "x", "1");
  SetString(Key("k"), "second", "2");
  SetString(Key("k"), "First", "1");
  KeyHandle key;
  ASSERT_EQ(store_.OpenKey(RootKey::CurrentUser, Key("k").c_str(), KeyAccess::Read, key), kOk);
  std::uint32_t subkeys = 0, values = 0;
  ASSERT_EQ(store_.QueryInfo(key, subkeys, values), kOk);
  EXPECT_EQ(subkeys, 2u);
  EXPECT_EQ(values, 2u);
  std::vector<std::string> keys, names;
  NameText name;
  for (std::uint32_t i = 0; store_.EnumKey(key, i, name) == kOk; ++i) keys.emplace_back(name.c_str());
  for (std::uint32_t i = 0; store_.EnumValue(key, i, name) == kOk; ++i) names.emplace_back(name.c_str());
  EXPECT_EQ(store_.EnumKey(key, 2, name), kErrorNoMoreItems);
  EXPECT_EQ(keys, (std::vector<std::string>{"alpha", "Zed"})) << "subkeys in name order";
  // Nothing depends on the order of values (Wine lists them by name, Windows
  // in the order they were made).
  EXPECT_EQ(names.size(), 2u);
  store_.CloseKey(key);
}

TEST_F(RegistryStoreTest, DeletingValuesAndKeys) {
  SetString(Key("k\\sub"), "x", "1");
  SetString(Key("k"), "v", "1");
  EXPECT_EQ(store_.DeleteKey(RootKey::CurrentUser, Key("k").c_str()), kErrorAccessDenied) << "a key with subkeys";
  KeyHandle key;
  ASSERT_EQ(store_.OpenKey(RootKey::CurrentUser, Key("k").c_str(), KeyAccess::All, key), kOk);
  EXPECT_EQ(store_.DeleteValue(key, "V"), kOk);
  EXPECT_EQ(store_.DeleteValue(key, "v"), kErrorFileNotFound);
  store_.CloseKey(key);
  EXPECT_EQ(store_.DeleteKey(RootKey::CurrentUser, Key("K\\SUB").c_str()), kOk);
  EXPECT_EQ(store_.DeleteKey(RootKey::CurrentUser, Key("k").c_str()), kOk);
  EXPECT_EQ(store_.DeleteKey(RootKey::CurrentUser, Key("k").c_str()), kErrorFileNotFound);
}

// Windows-1250 texts come and go as written whatever the system's code
// page: ő and ű, which code page 1252 lacks, in a key's and a value's name
// and data. A value with letters Windows-1250 lacks is read with a '?' for
// each and 1113, and the registry access that reads it fails.
TEST_F(RegistryStoreTest, HungarianLettersComeBackAsWrittenAndForeignOnesAreMarked) {
  SetString(Key("Őrző űrlap"), "Home Dir ő", "C:\\ŐRZŐ\\űrlap");
  KeyHandle key;
  ASSERT_EQ(store_.OpenKey(RootKey::CurrentUser, Key("őrző ŰRLAP").c_str(), KeyAccess::Read, key), kOk);
  char data[64] = {};
  std::uint32_t size = sizeof data;
  ASSERT_EQ(store_.QueryValue(key, "HOME DIR Ő", nullptr, data, size), kOk);
  EXPECT_STREQ(data, "C:\\ŐRZŐ\\űrlap");
  EXPECT_EQ(size, 14u) << "one byte a letter, and the terminating zero";
  NameText name;
  ASSERT_EQ(store_.EnumValue(key, 0, name), kOk);
  EXPECT_EQ(name, "Home Dir ő");
  store_.CloseKey(key);
  ASSERT_EQ(store_.OpenKey(RootKey::CurrentUser, machine_->scratchKey().c_str(), KeyAccess::Read, key), kOk);
  ASSERT_EQ(store_.EnumKey(key, 0, name), kOk);
  EXPECT_EQ(name, "Őrző űrlap");
  store_.CloseKey(key);

  std::string shown = machine_->SetForeignString(Key("Shell Folders"), "Programs");
  ASSERT_EQ(store_.OpenKey(RootKey::CurrentUser, Key("Shell Folders").c_str(), KeyAccess::Read, key), kOk);
  size = sizeof data;
  ValueType type{};
  EXPECT_EQ(store_.QueryValue(key, "Programs", &type, data, size), kErrorNoUnicodeTranslation);
  EXPECT_EQ(type, ValueType::String);
  EXPECT_EQ(data, shown);
  EXPECT_EQ(size, shown.size() + 1);
  store_.CloseKey(key);
  Registry registry(store_);
  PathText value;
  EXPECT_FALSE(registry.GetValueString("HKEY_CURRENT_USER\\" + Key("Shell Folders"), "Programs", value));
}

TEST_F(RegistryStoreTest, EmptySubkeyNamesTheRootItself) {
  KeyHandle key;
  ASSERT_EQ(store_.OpenKey(RootKey::LocalMachine, "", KeyAccess::Read, key), kOk);
  store_.CloseKey(key);
}

}  // namespace
}  // namespace qz::test
