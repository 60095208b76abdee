// The message base: the editable UTF-8 source becomes the Windows-1251 file
// that the game reads line by line.  The layout is checked here so that a
// slip in the source fails the build instead of shifting every text.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "tools/gen_res/gen_res.h"

namespace {

int Fail(const std::string& path, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), line, what);
  return 0;
}

}  // namespace

int ConvertMessageBase(const std::string& utf8Path, const std::string& outPath) {
  std::ifstream in(utf8Path, std::ios::binary);
  if (!in) return Fail(utf8Path, 0, "cannot read the message base source");
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);

  // Lines without their CR: the game keeps every byte of a text line.
  std::vector<std::string> lines;
  std::string line;
  for (const char ch : text) {
    if (ch == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += ch;
    }
  }
  if (!line.empty()) lines.push_back(line);
  if (lines.empty()) return Fail(utf8Path, 1, "empty file");

  int count = 0;
  if (std::sscanf(lines[0].c_str(), "%d", &count) != 1 || count < 2)
    return Fail(utf8Path, 1, "the first line must start with the message count (2 or more)");
  const size_t needed = 1 + 3 * static_cast<size_t>(count);
  if (lines.size() < needed)
    return Fail(utf8Path, static_cast<int>(lines.size()), "too few lines for the count");
  for (size_t i = needed; i < lines.size(); ++i)
    if (!lines[i].empty())
      return Fail(utf8Path, static_cast<int>(i + 1),
                  "text after the last message; raise the count");

  std::string out;
  for (size_t n = 0; n < needed; ++n) {
    const std::string& s = lines[n];
    size_t i = 0;
    while (i < s.size()) {
      const char32_t cp = cp1251::DecodeUtf8(s.data(), s.size(), i);
      const int b = cp1251::FromCodePoint(cp);
      if (cp == 0xFFFD || b < 0 || b == '\r' || (b < 32 && b != '\t')) {
        return Fail(utf8Path, static_cast<int>(n + 1), "a character that Windows-1251 lacks");
      }
      out += static_cast<char>(b);
    }
    out += '\n';
  }
  const size_t slash = outPath.rfind('/');
  if (slash != std::string::npos && !MakeDirs(outPath.substr(0, slash))) return 0;
  return WriteFileBytes(outPath, out);
}
