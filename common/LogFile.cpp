#include "common/LogFile.h"

namespace qz {
namespace {

constexpr const char* kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// "%Y-%m-%d %A %H:%M:%S" with English weekday names.
void FormatDate(const platform::LocalTime& t, TextBuffer& out) {
  const char* weekday = t.weekday >= 0 && t.weekday < 7 ? kWeekdays[t.weekday] : "";
  out.Format("%04d-%02d-%02d %s %02d:%02d:%02d", t.year, t.month, t.day, weekday, t.hour, t.minute, t.second);
}

}  // namespace

LogFile::LogFile(platform::FileSystem& files) : files_(files) {}

LogFile::~LogFile() = default;

bool LogFile::LogDirectory(platform::FileSystem& files, TextBuffer& directory) {
  return directory.Format("%s\\Vormex", files.WindowsDir().c_str());
}

bool LogFile::Open(const char* logDirectory, TextBuffer& message) {
  PathText path;
  bool fits = path.Format("%s\\qzlog.txt", logDirectory);
  platform::ErrorCode error = files_.MakeDirectory(logDirectory);
  if (error != platform::kOk && error != platform::kErrorAlreadyExists) {
    message.Format(
        "Nem hozható létre a %s könyvtár!\n\nEngedélyezze a könyvtár létrehozásátaz installáció megkezdéséhez!",
        logDirectory);
    return false;
  }
  // A path that does not fit its buffer is not opened cut short.
  if (fits) file_ = files_.OpenForAppending(path.c_str(), platform::kShareWrite, error);
  if (!file_) {
    // The file is named in full, also where its path was too long to open.
    message.Format(
        "Nem hozható létre a %s\\qzlog.txt logfile!\n\nEngedélyezze a %s könyvtár\nírását az installáció megkezdéséhez!",
        logDirectory, logDirectory);
    return false;
  }
  return true;
}

void LogFile::WriteBanner(Program program, const platform::LocalTime& time) {
  FixedText<64> date;
  FormatDate(time, date);
  if (program == Program::Setup) {
    Write("*******************QZSetup***************************\n");
    Print("* Dátum : %s\n\n", date.c_str());
  } else {
    Write("*******************Eltávolítás***********************\n");
    Print("* Dátum : %s\n", date.c_str());
  }
}

void LogFile::Print(const char* format, ...) {
  va_list args;
  va_start(args, format);
  text_.FormatV(format, args);
  va_end(args);
  Write(text_.view());
}

void LogFile::Write(std::string_view text) {
  // Write errors are not reported: the log never stops a run.
  if (file_) file_->Write(text.data(), text.size());
}

void LogFile::LogError(platform::ErrorCode code) {
  Write("ERROR\n");
  FixedText<512> message;
  files_.ErrorMessage(code, message);
  Print("\n!!! LogError : code = %d, Message : %s\n", static_cast<int>(code), message.c_str());
}

void LogFile::Close() {
  if (!file_) return;
  Write("\n\n\n");
  file_.reset();
}

}  // namespace qz
