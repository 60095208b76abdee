// The dromo-records viewer, run as a program on files made by the game's own
// records code.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "game/game_state.h"
#include "platform/platform.h"
#include "records/records.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out, err;
  bool timedOut = false;
  double elapsedMs = 0;
  long maxRssKb = 0;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

size_t Utf8Length(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

// Removes terminal escape sequences (ESC [ ... letter) and carriage returns.
std::string StripEscapes(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\x1b' && i + 1 < s.size() && s[i + 1] == '[') {
      i += 2;
      while (i < s.size() && !std::isalpha(static_cast<unsigned char>(s[i]))) ++i;
      continue;
    }
    if (s[i] != '\r') out.push_back(s[i]);
  }
  return out;
}

class DromoRecordsTool : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* build = std::getenv("DROMO_BUILD_DIR");
    // Made absolute before the test moves to its own directory.
    tool_ = fs::absolute(fs::path(build != nullptr ? build : "..") / "dromo-records").string();
    ASSERT_TRUE(fs::exists(tool_)) << tool_ << " is not built";
    oldDir_ = fs::current_path();
    char tmpl[] = "/tmp/dromo-records-tool-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    fs::current_path(dir_);
    std::srand(4242);
    gGame.ruleCode = 20;
  }
  void TearDown() override {
    fs::current_path(oldDir_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::vector<char*> Argv(std::vector<std::string>& args) {
    args.insert(args.begin(), tool_);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
  }

  static int ExitStatus(pid_t pid) {
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  }

  // Waits at most `limitMs` for the child, killing it when it takes longer
  // (a tool stuck on a FIFO must fail the test, not hang it); records the
  // time taken and the child's peak memory.
  static int TimedExitStatus(pid_t pid, int limitMs, ToolRun& r) {
    const auto start = std::chrono::steady_clock::now();
    int wstatus = 0;
    struct rusage usage {};
    for (;;) {
      const pid_t got = wait4(pid, &wstatus, WNOHANG, &usage);
      if (got == pid) break;
      if (got < 0 && errno != EINTR) return -1;
      if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(limitMs)) {
        kill(pid, SIGKILL);
        wait4(pid, &wstatus, 0, &usage);
        r.timedOut = true;
        break;
      }
      usleep(1000);
    }
    r.elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    r.maxRssKb = usage.ru_maxrss;
    return !r.timedOut && WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  }

  // Runs the tool with standard output and error going to files.
  ToolRun RunTool(std::vector<std::string> args, int limitMs = 0) {
    std::vector<char*> argv = Argv(args);
    const std::string outPath = (dir_ / "..out").string(), errPath = (dir_ / "..err").string();
    const pid_t pid = fork();
    if (pid == 0) {
      const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (out < 0 || err < 0) _exit(127);
      dup2(out, 1);
      dup2(err, 2);
      execv(argv[0], argv.data());
      _exit(127);
    }
    ToolRun r;
    if (pid < 0) return r;
    r.status = limitMs > 0 ? TimedExitStatus(pid, limitMs, r) : ExitStatus(pid);
    r.out = ReadAll(outPath);
    r.err = ReadAll(errPath);
    fs::remove(outPath);
    fs::remove(errPath);
    return r;
  }

  // Runs the tool with standard output on a pseudo-terminal; empty when no
  // terminal can be had.
  bool RunOnTerminal(std::vector<std::string> args, ToolRun& r) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) return false;
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname(master) == nullptr) {
      close(master);
      return false;
    }
    const std::string slave = ptsname(master);
    std::vector<char*> argv = Argv(args);
    const pid_t pid = fork();
    if (pid == 0) {
      const int fd = open(slave.c_str(), O_RDWR | O_NOCTTY);
      const int null = open("/dev/null", O_WRONLY);
      if (fd < 0 || null < 0) _exit(127);
      dup2(fd, 1);
      dup2(null, 2);
      execv(argv[0], argv.data());
      _exit(127);
    }
    if (pid < 0) {
      close(master);
      return false;
    }
    // The output is small; read until the terminal closes with the child.
    char buf[4096];
    for (;;) {
      const ssize_t n = read(master, buf, sizeof(buf));
      if (n > 0) {
        r.out.append(buf, static_cast<size_t>(n));
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        break;
      }
    }
    close(master);
    r.status = ExitStatus(pid);
    return true;
  }

  std::string tool_;
  fs::path oldDir_;
  fs::path dir_;
};

TEST_F(DromoRecordsTool, PrintsTheTwentyLinesOfAFreshTable) {
  ResetRecords("dromov2-0201");
  const std::string before = ReadAll("dromov2-0201");
  const ToolRun r = RunTool({"dromov2-0201"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 20u);
  ASSERT_EQ(r.out.back(), '\n');
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(Utf8Length(lines[i]), 52u) << lines[i];
    EXPECT_EQ(lines[i], Cp1251ToUtf8(gRecordLines[i].text));
  }
  const RecordEntry& top = gRecordTable[0];  // the date the reset wrote
  char expected[80];
  std::snprintf(expected, sizeof(expected),
                " 1 ---           %02d.%02d.%03d    940 (00 000 00) 28:00s", top.day, top.month,
                top.year % 1000);
  EXPECT_EQ(lines[0], expected);
  EXPECT_EQ(r.out.find('\x1b'), std::string::npos);  // not a terminal: no colours
  EXPECT_EQ(ReadAll("dromov2-0201"), before);
}

TEST_F(DromoRecordsTool, NamesComeOutAsUtf8) {
  ResetRecords("t");
  RecordValues v;
  v.score = 4000;
  PlaceRecord(gRecordTable, "Жорб"_w, v);
  SaveRecords("t");
  const ToolRun r = RunTool({"t"});
  ASSERT_EQ(r.status, 0);
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[0].substr(0, 11), " 1 Жорб");
  EXPECT_EQ(Utf8Length(lines[0]), 52u);
}

// Names are not covered by the checksum, so a damaged file can carry any byte
// there; none may reach the terminal as a line break or an escape.
TEST_F(DromoRecordsTool, ControlBytesInANameAreNotPrinted) {
  ResetRecords("t");
  std::string bytes = ReadAll("t");
  const size_t name = 8 + 19 * 63;                                 // the name of rank 1
  bytes[name + 0] = static_cast<char>(200), bytes[name + 1] = 66;  // 266: line feed
  bytes[name + 2] = static_cast<char>(200), bytes[name + 3] = 83;  // 283: escape
  WriteAll("t", bytes);
  const ToolRun r = RunTool({"t"});
  ASSERT_EQ(r.status, 0);
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[0].substr(0, 7),
            " 1 ?"
            "?- ");
  EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
}

TEST_F(DromoRecordsTool, UnusableFilesAreReportedAndLeftAlone) {
  ResetRecords("good");
  const std::string good = ReadAll("good");
  std::string damaged = good;
  damaged[8 + 24] ^= 1;  // a score
  struct Case {
    const char* what;
    bool create;
    std::string bytes;
  } cases[] = {
      {"missing", false, ""},
      {"empty", true, ""},
      {"short", true, good.substr(0, 1279)},
      {"short but adding up", true, good.substr(0, 1272)},
      {"damaged", true, damaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove("f");
    if (c.create) WriteAll("f", c.bytes);
    const ToolRun r = RunTool({"f"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // one line
    EXPECT_NE(r.err.find("f:"), std::string::npos) << r.err;
    EXPECT_EQ(fs::exists("f"), c.create);
    if (c.create) {
      EXPECT_EQ(ReadAll("f"), c.bytes);
    }
  }
  // A directory cannot be read as a table either.
  fs::create_directory("d");
  const ToolRun r = RunTool({"d"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
}

TEST_F(DromoRecordsTool, FilesThatAreNoTablesAreRefusedAtOnceInConstantMemory) {
  ResetRecords("good");
  const std::string good = ReadAll("good");
  ASSERT_EQ(mkfifo("fifo", 0600), 0);  // no writer: opening it normally blocks
  fs::create_directory("dir");
  // 2 GiB, almost all of it a hole: reading it whole takes seconds and gigabytes.
  const auto sparse = [](const char* name, const std::string& head) {
    WriteAll(name, head);
    fs::resize_file(name, 2ull << 30);
  };
  sparse("zeros", "");
  sparse("long-table", good);
  struct Case {
    const char* what;
    std::string path;
    int status;
    const char* says;  // in the one line on standard error
  };
  const Case cases[] = {
      {"FIFO without a writer", "fifo", 1, "not a regular file"},
      {"device", "/dev/zero", 1, "not a regular file"},
      {"directory", "dir", 1, "directory"},
      {"2 GiB of zeros", "zeros", 1, "damaged"},
      // Only the first 1280 bytes belong to the table, as in the game.
      {"2 GiB starting with a table", "long-table", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // The limit only keeps a blocked tool from hanging the suite; the time
    // taken is reported, not judged.
    const ToolRun r = RunTool({c.path}, 10000);
    EXPECT_FALSE(r.timedOut) << "still waiting after 10 s";
    EXPECT_EQ(r.status, c.status) << r.err;
    // The tool itself needs a few megabytes (more under the sanitizers);
    // reading the file whole would take over two million kilobytes.
    EXPECT_LT(r.maxRssKb, 200 * 1024);
    std::printf("  %-28s status %d in %.1f ms, peak memory %ld KiB\n", c.what, r.status,
                r.elapsedMs, r.maxRssKb);
    if (c.status == 0) {
      EXPECT_EQ(Lines(r.out).size(), 20u);
      EXPECT_EQ(r.err, "");
      continue;
    }
    EXPECT_EQ(r.out, "");
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(c.path + ": "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  struct stat st {};
  ASSERT_EQ(lstat("fifo", &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO is left alone";
  EXPECT_EQ(fs::file_size("long-table"), 2ull << 30);
}

TEST_F(DromoRecordsTool, ShapeNamesTheGamesFile) {
  for (int shape = 1; shape <= 6; ++shape) {
    if (shape == 4) continue;  // left missing
    ResetRecords(RecordsFileNameFor(shape));
    RecordValues v;
    v.score = 10000 + shape;
    PlaceRecord(gRecordTable, "s", v);
    SaveRecords(RecordsFileNameFor(shape));
  }
  for (int shape = 1; shape <= 6; ++shape) {
    SCOPED_TRACE(shape);
    const ToolRun r = RunTool({"--shape", std::to_string(shape)});
    if (shape == 4) {
      EXPECT_EQ(r.status, 1);
      EXPECT_NE(r.err.find("dromov2-0804"), std::string::npos) << r.err;
      continue;
    }
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(
        Lines(r.out)[0].find(std::string(" ").append(std::to_string(10000 + shape)).append(" ")),
        std::string::npos)
        << r.out;
  }
}

TEST_F(DromoRecordsTool, Arguments) {
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: dromo-records FILE"), std::string::npos);
  EXPECT_EQ(help.err, "");

  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--shape"},
      {"--shape", "0"},
      {"--shape", "7"},
      {"--shape", "x"},
      {"--shape", "1x"},
      {"-x"},
      {"a", "b"},
      {"--shape", "1", "2"},
  };
  for (const auto& args : bad) {
    const ToolRun r = RunTool(args);
    EXPECT_EQ(r.status, 2) << args.size();
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
  }

  // A file whose name starts with a dash, after "--".
  ResetRecords("-r");
  EXPECT_EQ(RunTool({"--", "-r"}).status, 0);
}

TEST_F(DromoRecordsTool, ColoursOnlyOnATerminal) {
  ResetRecords("t");
  const ToolRun plain = RunTool({"t"});
  ASSERT_EQ(plain.status, 0);
  ToolRun tty;
  if (!RunOnTerminal({"t"}, tty)) GTEST_SKIP() << "no pseudo-terminal";
  EXPECT_EQ(tty.status, 0);
  EXPECT_NE(tty.out.find("\x1b["), std::string::npos);
  // Rank 1's "w" letters give a backdrop.
  EXPECT_NE(tty.out.find(";48;2;"), std::string::npos);
  EXPECT_EQ(StripEscapes(tty.out), plain.out);
}

}  // namespace
