#pragma once
// Fixed-capacity, NUL-terminated byte texts in Windows-1250.
//
// Every buffer the system keeps for a path, a name, a version or a log line
// has a fixed size; writing into one never goes past it. Assigning,
// appending and formatting cut the result at the capacity (one byte is the
// terminator) and report the cut, so a caller can refuse a text that does not
// fit where cutting would change its meaning.

#include <cstdarg>
#include <cstddef>
#include <string_view>

#if defined(__MINGW32__)
#define QZ_PRINTF(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#else
#define QZ_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

namespace qz {

// The operations of every fixed text; the storage lives in FixedText<N>.
class TextBuffer {
 public:
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  const char* c_str() const { return data_; }
  std::string_view view() const { return std::string_view(data_, length()); }
  operator std::string_view() const { return view(); }
  std::size_t length() const;
  std::size_t capacity() const { return capacity_; }
  bool empty() const { return data_[0] == '\0'; }

  // Raw access for code that fills the buffer itself (the platform layer);
  // it must keep the terminator within capacity().
  char* data() { return data_; }
  char& operator[](std::size_t index) { return data_[index]; }
  char operator[](std::size_t index) const { return data_[index]; }

  void Clear() { data_[0] = '\0'; }
  // Each returns false when the result had to be cut to fit.
  bool Assign(std::string_view text);
  bool Append(std::string_view text);
  bool Format(const char* format, ...) QZ_PRINTF(2, 3);
  bool AppendFormat(const char* format, ...) QZ_PRINTF(2, 3);
  bool FormatV(const char* format, va_list args) QZ_PRINTF(2, 0);
  bool AppendFormatV(const char* format, va_list args) QZ_PRINTF(2, 0);
  // Shortens the text to at most `length` characters.
  void Truncate(std::size_t length);

  bool operator==(std::string_view other) const { return view() == other; }

 protected:
  TextBuffer(char* storage, std::size_t capacity) : data_(storage), capacity_(capacity) {}
  ~TextBuffer() = default;

 private:
  char* data_;
  std::size_t capacity_;
};

template <std::size_t N>
class FixedText : public TextBuffer {
  static_assert(N >= 1, "a fixed text needs room for its terminator");

 public:
  FixedText() : TextBuffer(storage_, N) { storage_[0] = '\0'; }
  explicit FixedText(std::string_view text) : FixedText() { Assign(text); }
  FixedText(const FixedText& other) : FixedText() { Assign(other.view()); }
  FixedText& operator=(const FixedText& other) {
    if (this != &other) Assign(other.view());
    return *this;
  }
  FixedText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }

 private:
  char storage_[N];
};

// The sizes the system works with.
using PathText = FixedText<260>;      // paths and file names
using NameText = FixedText<256>;      // application name, ErrorText, work buffers
using VersionText = FixedText<32>;    // versions
using MessageText = FixedText<512>;   // progress lines and failure messages
using KeyPathText = FixedText<512>;   // registry key paths and registry log texts
using LogText = FixedText<1024>;      // one formatted log text

}  // namespace qz
