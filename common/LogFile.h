#pragma once
// The shared log qzlog.txt in the maker's folder. Each run of either program
// appends one section: a banner, the date, the steps' lines, and three line
// ends. The file is written in text mode.

#include <memory>
#include <string_view>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "text/Text.h"

namespace qz {

class LogFile {
 public:
  enum class Program { Setup, Uninstaller };

  explicit LogFile(platform::FileSystem& files);
  // A log still open is closed without the closing gap.
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // "%s\Vormex" below the Windows directory; false when it does not fit.
  static bool LogDirectory(platform::FileSystem& files, TextBuffer& directory);

  // Creates the log directory (an existing one is no error) and opens
  // qzlog.txt there for appending. On failure `message` holds the text the
  // program shows before it stops.
  bool Open(const char* logDirectory, TextBuffer& message);
  bool IsOpen() const { return file_ != nullptr; }

  // The program's banner and date line.
  void WriteBanner(Program program, const platform::LocalTime& time);
  // Expands the format (cut at 1023 characters) and appends it.
  void Print(const char* format, ...) QZ_PRINTF(2, 3);
  // Appends a finished text unchanged (a percent sign stays as it is).
  void Write(std::string_view text);
  // "ERROR", then the error code and the system's text for it.
  void LogError(platform::ErrorCode code);
  // Writes the run's closing gap and closes the file.
  void Close();

 private:
  platform::FileSystem& files_;
  std::unique_ptr<platform::OutputFile> file_;
  LogText text_;
};

}  // namespace qz
