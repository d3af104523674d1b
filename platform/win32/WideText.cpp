#include "platform/win32/WideText.h"

#include "text/CodePage.h"

namespace qz::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide calls take UTF-16");

std::wstring Wide(std::string_view text) {
  std::u16string utf16 = Utf16FromCp1250(text);
  return std::wstring(utf16.begin(), utf16.end());
}

bool Narrow(std::wstring_view text, std::string& out) {
  return Cp1250FromUtf16(std::u16string(text.begin(), text.end()), out);
}

ErrorCode NarrowStrict(std::wstring_view text, TextBuffer& out) {
  std::string narrow;
  bool whole = Narrow(text, narrow);
  if (!out.Assign(narrow)) {
    out.Clear();
    return kErrorFilenameTooLong;
  }
  return whole ? kOk : kErrorNoUnicodeTranslation;
}

void NarrowShown(std::wstring_view text, TextBuffer& out) {
  std::string narrow;
  Narrow(text, narrow);
  out.Assign(narrow);
}

std::wstring_view UpToNul(const wchar_t* text, std::size_t capacity) {
  std::size_t length = 0;
  while (length < capacity && text[length] != L'\0') ++length;
  return std::wstring_view(text, length);
}

}  // namespace qz::platform::win32
