// The kinds of activity-log entries: the interface of the log module (Scribbet(message, kind)),
// shared by everything that writes entries. Portable.
#pragma once

namespace quadrivo::log {

enum Kind : int {
  kStart = 1,
  kQuestion = 2,
  kAnswer = 3,
  kUpdate = 4,
  kScore = 6,
  kExit = 7,
  kError = 8,
  kOther = 9,
  kHelp = 10,
};

}  // namespace quadrivo::log
