#include "text/Text.h"

#include <cstdio>
#include <cstring>

namespace qz {

std::size_t TextBuffer::length() const { return std::strlen(data_); }

bool TextBuffer::Assign(std::string_view text) {
  Clear();
  return Append(text);
}

bool TextBuffer::Append(std::string_view text) {
  std::size_t used = length();
  std::size_t room = capacity_ - 1 - used;
  std::size_t take = text.size() < room ? text.size() : room;
  // An empty view may carry no pointer at all, which memcpy must not get.
  if (take > 0) std::memcpy(data_ + used, text.data(), take);
  data_[used + take] = '\0';
  return take == text.size();
}

bool TextBuffer::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool whole = FormatV(format, args);
  va_end(args);
  return whole;
}

bool TextBuffer::AppendFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool whole = AppendFormatV(format, args);
  va_end(args);
  return whole;
}

bool TextBuffer::FormatV(const char* format, va_list args) {
  Clear();
  return AppendFormatV(format, args);
}

bool TextBuffer::AppendFormatV(const char* format, va_list args) {
  std::size_t used = length();
  std::size_t room = capacity_ - used;
  int wanted = std::vsnprintf(data_ + used, room, format, args);
  if (wanted < 0) {
    data_[used] = '\0';
    return false;
  }
  return static_cast<std::size_t>(wanted) < room;
}

void TextBuffer::Truncate(std::size_t newLength) {
  if (newLength < length()) data_[newLength] = '\0';
}

}  // namespace qz
