#include "e2e/game_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

std::string BuildDir() {
  // Absolute: the game runs in a folder of its own.
  const char* b = std::getenv("DROMO_BUILD_DIR");
  std::error_code ec;
  const fs::path dir = fs::absolute(b != nullptr ? b : "..", ec);
  return ec ? std::string("..") : dir.lexically_normal().string();
}

std::string BoxLinesMissing(const std::string& err, const BoxList& boxes) {
  std::string missing;
  size_t at = 0;
  for (const auto& [caption, text] : boxes) {
    const std::string line = std::string(caption) + ": " + text + "\n";
    const size_t found = err.find(line, at);
    if (found == std::string::npos) {
      missing += line;
    } else {
      at = found + line.size();
    }
  }
  return missing;
}

std::string GameBinary() {
  const char* g = std::getenv("DROMO_GAME");
  std::error_code ec;
  if (g != nullptr && g[0] != '\0') return fs::absolute(g, ec).string();
  return BuildDir() + "/dromo";
}

GameRun::GameRun() {
  char tmpl[] = "/tmp/dromo-e2e-XXXXXX";
  if (mkdtemp(tmpl) != nullptr) {
    dir = tmpl;
    fs::create_directory(dir + "/run");
  }
}

GameRun::~GameRun() {
  Kill();
  if (!dir.empty()) {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
}

std::string GameRun::RunPath(const std::string& relative) const {
  return dir + "/run/" + relative;
}

bool GameRun::CopyResources() {
  const fs::path from = fs::path(BuildDir()) / "res";
  if (dir.empty() || !fs::is_directory(from)) return false;
  std::error_code ec;
  fs::copy(from, RunPath("res"), fs::copy_options::recursive, ec);
  return !ec;
}

void GameRun::WriteFile(const std::string& relative, const std::string& content) const {
  std::ofstream(RunPath(relative), std::ios::binary) << content;
}

bool GameRun::RemoveFile(const std::string& relative) const {
  std::error_code ec;
  return fs::remove(RunPath(relative), ec);
}

bool GameRun::Start(bool withDisplay) {
  if (dir.empty() || pid > 0) return false;
  const std::string binary = GameBinary();
  const std::string errPath = dir + "/stderr.txt";
  const std::string outPath = dir + "/stdout.txt";
  const std::string runDir = dir + "/run";
  started = std::chrono::steady_clock::now();
  pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    // The child: its own folder, its own output files, a silent sound device
    // unless the test chose another.
    if (chdir(runDir.c_str()) != 0) _exit(126);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err < 0 || out < 0) _exit(126);
    dup2(err, 2);
    dup2(out, 1);
    close(err);
    close(out);
    setenv("ALSOFT_DRIVERS", "null", 1);
    for (const auto& [name, value] : env) {
      if (value.empty()) {
        unsetenv(name.c_str());
      } else {
        setenv(name.c_str(), value.c_str(), 1);
      }
    }
    if (!withDisplay) unsetenv("DISPLAY");
    execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return true;
}

bool GameRun::Running() {
  if (pid <= 0) return false;
  int status = 0;
  const pid_t r = waitpid(pid, &status, WNOHANG);
  if (r == 0) return true;
  if (r == pid) {
    if (WIFEXITED(status)) exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) exitSignal = WTERMSIG(status);
  }
  pid = -1;
  return false;
}

bool GameRun::WaitForExit(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Running()) {
    if (std::chrono::steady_clock::now() > deadline) {
      Kill();
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void GameRun::Kill() {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) exitSignal = WTERMSIG(status);
  pid = -1;
}

std::string GameRun::Stderr() const {
  std::ifstream in(dir + "/stderr.txt", std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

double GameRun::MillisecondsSinceStart() const {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
      .count();
}
