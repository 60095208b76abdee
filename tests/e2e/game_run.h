// One run of the real game: a scratch folder with a copy of the generated
// resources, the process with its output in files, and a kill on every path.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

struct GameRun {
  std::string dir;     // scratch folder; the game runs in dir + "/run"
  pid_t pid = -1;      // -1 when not started or already reaped
  int exitCode = -1;   // after a normal exit
  int exitSignal = 0;  // after a kill
  std::chrono::steady_clock::time_point started;
  // Set in the game's environment on top of the defaults (ALSOFT_DRIVERS
  // for one); an empty value removes the variable.
  std::vector<std::pair<std::string, std::string>> env;

  GameRun();
  ~GameRun();  // kills the process if it still runs, removes the folder
  GameRun(const GameRun&) = delete;
  GameRun& operator=(const GameRun&) = delete;

  // Path inside the game's working folder.
  std::string RunPath(const std::string& relative) const;
  // Copies <build>/res into the working folder; false when there is none.
  bool CopyResources();
  void WriteFile(const std::string& relative, const std::string& content) const;
  bool RemoveFile(const std::string& relative) const;

  // Starts the game (ALSOFT_DRIVERS=null; DISPLAY kept unless withDisplay is
  // false).  false when it could not be started.
  bool Start(bool withDisplay = true);
  bool Running();
  // Waits for the exit; kills the process and returns false on timeout.
  bool WaitForExit(int timeoutMs);
  void Kill();
  std::string Stderr() const;
  double MillisecondsSinceStart() const;
};

// Message boxes by caption and text, in the order the game shows them.
using BoxList = std::vector<std::pair<const char*, const char*>>;
// The boxes' "caption: text" lines that the game's standard error lacks, or
// has out of order; empty when all are there in order.
std::string BoxLinesMissing(const std::string& err, const BoxList& boxes);

// The game binary and the build folder from the test environment.
std::string GameBinary();
std::string BuildDir();
