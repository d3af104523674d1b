#pragma once

namespace qz::platform {

struct LocalTime {
  int year;
  int month;    // 1..12
  int day;      // 1..31
  int weekday;  // 0 Sunday .. 6 Saturday
  int hour;
  int minute;
  int second;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
};

}  // namespace qz::platform
