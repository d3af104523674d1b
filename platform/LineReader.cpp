#include "platform/LineReader.h"

namespace qz::platform {

LineReader::LineReader(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}

bool LineReader::Fill() {
  if (ended_) return false;
  std::size_t got = 0;
  if (!file_->Read(buffer_, sizeof buffer_, got) || got == 0) {
    ended_ = true;
    return false;
  }
  size_ = got;
  pos_ = 0;
  return true;
}

int LineReader::PeekByte() {
  if (pos_ == size_ && !Fill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_]);
}

int LineReader::NextChar() {
  int c = PeekByte();
  if (c < 0) return -1;
  ++pos_;
  if (c == '\r' && PeekByte() == '\n') {
    ++pos_;
    return '\n';
  }
  return c;
}

bool LineReader::ReadLine(std::string& line) {
  line.clear();
  int c = NextChar();
  if (c < 0) return false;
  while (c >= 0 && c != '\n') {
    line += static_cast<char>(c);
    c = NextChar();
  }
  return true;
}

bool LineReader::ReadChunk(TextBuffer& out, std::size_t limit, bool* endsLine) {
  out.Clear();
  if (limit > out.capacity() - 1) limit = out.capacity() - 1;
  std::size_t n = 0;
  char* data = out.data();
  bool lineEnd = false;
  while (n < limit) {
    int c = NextChar();
    if (c < 0) break;
    data[n++] = static_cast<char>(c);
    if (c == '\n') {
      lineEnd = true;
      break;
    }
  }
  data[n] = '\0';
  if (endsLine) *endsLine = lineEnd;
  return n > 0;
}

bool LineReader::Rewind() {
  size_ = pos_ = 0;
  ended_ = false;
  return file_->Rewind();
}

}  // namespace qz::platform
