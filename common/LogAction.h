#pragma once
// One action line of the log: "Action : path..." written when the object is
// made, then closed exactly once, by "OK" or by the error with its code and
// the system's text (LogFile::LogError). Every way out of a step closes the
// line the same way.
//
//   LogAction action(ctx.log, "Könyvtár törlés : %s...", path);
//   return action.Close(files.RemoveDir(path));

#include <cassert>
#include <cstdarg>
#include <exception>

#include "common/LogFile.h"
#include "platform/Errors.h"
#include "text/Text.h"

namespace qz {

class LogAction {
 public:
  LogAction(LogFile& log, const char* format, ...) QZ_PRINTF(3, 4);
  // A line left open is a fault of the step, unless an exception is
  // unwinding it.
  ~LogAction() { assert(closed_ || std::uncaught_exceptions() > 0); }
  LogAction(const LogAction&) = delete;
  LogAction& operator=(const LogAction&) = delete;

  void Ok() {
    Closing();
    log_.Write("OK\n");
  }
  void Fail(platform::ErrorCode code) {
    Closing();
    log_.LogError(code);
  }
  // OK for kOk, the error otherwise; true for kOk.
  bool Close(platform::ErrorCode code) {
    if (code == platform::kOk) Ok();
    else Fail(code);
    return code == platform::kOk;
  }

 private:
  void Closing() {
    assert(!closed_ && "an action line is closed once");
    closed_ = true;
  }

  LogFile& log_;
  bool closed_ = false;
};

inline LogAction::LogAction(LogFile& log, const char* format, ...) : log_(log) {
  LogText line;
  va_list args;
  va_start(args, format);
  line.FormatV(format, args);
  va_end(args);
  log_.Write(line.view());
}

}  // namespace qz
