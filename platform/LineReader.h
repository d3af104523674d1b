#pragma once
// Reads a file opened through the platform as text, line by line, as the C
// runtime's text mode does on Windows: a CR LF pair reads as LF. Both builds
// share this code, so a script reads the same everywhere.

#include <cstddef>
#include <memory>
#include <string>

#include "platform/FileSystem.h"
#include "text/Text.h"

namespace qz::platform {

class LineReader {
 public:
  explicit LineReader(std::unique_ptr<InputFile> file);

  // The next line without its line end. False at the end of the file, and
  // after a read error, which counts as the end of the file.
  bool ReadLine(std::string& line);
  // Like fgets: at most `limit` characters, the line end ("\n") kept when it
  // fits; the rest of a longer line is returned by the next call. Never more
  // than out.capacity() - 1 characters. A NUL byte in the file ends `out`'s
  // text early (as a file saved as UTF-16 has them): `endsLine`, when
  // given, tells whether the chunk read took its line's end all the same.
  bool ReadChunk(TextBuffer& out, std::size_t limit, bool* endsLine = nullptr);
  bool Rewind();

 private:
  // The next byte in text mode, or -1 at the end (or on an error).
  int NextChar();
  int PeekByte();
  bool Fill();

  std::unique_ptr<InputFile> file_;
  char buffer_[16384];
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
  bool ended_ = false;
};

}  // namespace qz::platform
