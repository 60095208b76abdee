// dromo-records: prints the twenty lines of a records file as the game's
// records panel shows them, in UTF-8, coloured on a terminal.  It only reads;
// a damaged file is reported, never reset.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/file_util.h"
#include "base/text.h"
#include "records/records.h"

namespace {

constexpr const char* kUsage =
    "usage: dromo-records FILE\n"
    "       dromo-records --shape N\n";

constexpr const char* kHelp =
    "Prints the twenty best games of a st-DROMO records file, one line per\n"
    "rank, exactly as the game's records panel shows them.\n"
    "\n"
    "  FILE        a records file (dromov2-0201 ... dromov2-1206)\n"
    "  --shape N   the file of well shape N (1..6): in the current directory,\n"
    "              else in the folder the installed game plays in,\n"
    "              $XDG_DATA_HOME/st-dromo (~/.local/share/st-dromo)\n"
    "  --help      this text\n"
    "\n"
    "Lines are coloured only when standard output is a terminal.  The file is\n"
    "only read, never written.  Exit status: 0 when the table was printed,\n"
    "1 when the file is missing, unreadable, short or damaged, 2 for bad\n"
    "arguments.\n";

// Terminal colours for the colour letters of the records lines; "w" and "x"
// put their backdrop behind the character.
const char* ColourEscape(char letter) {
  switch (letter) {
    case 'a':
      return "\x1b[0;38;2;255;255;255m";
    case 'b':
      return "\x1b[0;38;2;0;0;255m";
    case 'c':
      return "\x1b[0;38;2;0;255;255m";
    case 'd':
      return "\x1b[0;38;2;0;180;255m";
    case 'e':
      return "\x1b[0;38;2;0;127;127m";
    case 'f':
      return "\x1b[0;38;2;0;190;127m";
    case 'g':
      return "\x1b[0;38;2;0;255;0m";
    case 'o':
      return "\x1b[0;38;2;255;120;32m";
    case 'p':
      return "\x1b[0;38;2;255;0;255m";
    case 'q':
      return "\x1b[0;38;2;255;255;0m";
    case 'r':
      return "\x1b[0;38;2;255;0;0m";
    case 's':
      return "\x1b[0;38;2;210;210;220m";
    case 't':
      return "\x1b[0;38;2;190;190;190m";
    case 'u':
      return "\x1b[0;38;2;160;160;160m";
    case 'v':
      return "\x1b[0;38;2;127;127;127m";
    case 'w':
      return "\x1b[0;38;2;96;96;96;48;2;153;153;153m";
    case 'x':
      return "\x1b[0;38;2;63;63;63;48;2;128;128;128m";
    case 'y':
      return "\x1b[0;38;2;32;32;32m";
    case ' ':
    case '\x01':
      return "\x1b[0m";  // the terminal's own colour
    default:
      return "\x1b[0;38;2;0;0;0m";
  }
}

// A damaged name could hold control bytes; they must not reach the terminal
// as line breaks or escape sequences.
char Printable(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b < 0x20 || b == 0x7F) ? '?' : c;
}

std::string RenderLine(const RecordLine& line, bool colour) {
  std::string out;
  if (!colour || line.colours.size() != line.text.size()) {
    std::string text;
    for (char c : line.text) text.push_back(Printable(c));
    return Cp1251ToUtf8(text);
  }
  const char* current = nullptr;
  for (std::size_t i = 0; i < line.text.size(); ++i) {
    const char* escape = ColourEscape(line.colours[i]);
    if (current == nullptr || std::strcmp(current, escape) != 0) {
      out += escape;
      current = escape;
    }
    out += Cp1251ToUtf8(std::string(1, Printable(line.text[i])));
  }
  out += "\x1b[0m";
  return out;
}

int ParseShape(const char* text) {
  if (text == nullptr || text[0] < '1' || text[0] > '6' || text[1] != '\0') return 0;
  return text[0] - '0';
}

int Fail(const std::string& path, const std::string& why) {
  std::fprintf(stderr, "dromo-records: %s: %s\n", path.c_str(), why.c_str());
  return 1;
}

int PrintTable(const std::string& path) {
  ByteReader reader;
  errno = 0;
  FileReadError why = kFileMissing;
  // Only the table's own 1280 bytes are read: a huge file costs no more than
  // a right one, and a FIFO or device is refused without waiting on it.
  if (!LoadFileToReader(reader, path.c_str(), kRecordsFileSize, &why)) {
    const int error = errno;
    if (why == kFileIsDirectory) return Fail(path, "is a directory, not a records file");
    if (why == kFileNotRegular)
      return Fail(path, "is not a regular file (a FIFO, device or socket); not read");
    return Fail(path,
                std::string("cannot read") +
                    (error != 0 ? std::string(" (") + std::strerror(error) + ")" : std::string()));
  }
  RecordTable table;
  const uint32_t size = reader.size;
  const RecordsStatus status = DecodeRecords(reader.data, reader.size, table);
  ReleaseReader(reader);
  if (size < kRecordsFileSize) {
    return Fail(path, "too short (" + IntToString(static_cast<int32_t>(size)) +
                          " bytes; a records file has " +
                          IntToString(static_cast<int32_t>(kRecordsFileSize)) + ")");
  }
  if (status != kRecordsOk) return Fail(path, "damaged (the checksum does not match the scores)");

  BuildRecordLines(table);
  const bool colour = isatty(STDOUT_FILENO) == 1;
  std::string out;
  for (const RecordLine& line : gRecordLines) out += RenderLine(line, colour) + "\n";
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "dromo-records: cannot write the table (%s)\n", std::strerror(errno));
    return 1;
  }
  return 0;
}

// The folder the installed launcher plays in, "" when there is no home.
std::string PlayerFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return std::string(data) + "/st-dromo";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/share/st-dromo";
  return std::string();
}

// A shape's file: here when it is here (the build tree, a game folder),
// otherwise the player's.
int PrintShape(const std::string& name) {
  if (access(name.c_str(), F_OK) == 0) return PrintTable(name);
  const std::string folder = PlayerFolder();
  const std::string theirs = folder.empty() ? std::string() : folder + "/" + name;
  if (!theirs.empty() && access(theirs.c_str(), F_OK) == 0) return PrintTable(theirs);
  std::fprintf(stderr, "dromo-records: %s: not in the current directory%s%s\n", name.c_str(),
               theirs.empty() ? "" : " nor in ", folder.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view first = argc > 1 ? argv[1] : "";
  if (argc == 2 && (first == "--help" || first == "-h")) {
    std::fputs(kUsage, stdout);
    std::fputs("\n", stdout);
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc == 2 && !first.empty() && first[0] != '-') return PrintTable(argv[1]);
  if (argc == 3 && first == "--" && argv[2][0] != '\0') return PrintTable(argv[2]);
  if (argc == 3 && first == "--shape") {
    const int shape = ParseShape(argv[2]);
    if (shape != 0) return PrintShape(RecordsFileNameFor(shape));
  }
  std::fputs(kUsage, stderr);
  std::fputs("Try 'dromo-records --help' for more.\n", stderr);
  return 2;
}
