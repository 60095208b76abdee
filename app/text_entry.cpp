// The one-line text editor fed by character messages (player names).
#include <algorithm>

#include "app/text_entry.h"

TextEntry gTextEntry;

namespace {

constexpr int kDefaultMaxLen = 125;

void CloseEntry() {
  TextEntry& e = gTextEntry;
  e.owner = nullptr;
  e.buffer.clear();
  e.start = 0;
  e.cursor = 0;
  e.offered.clear();
  e.hasOffered = 0;
}

}  // namespace

int BeginTextEntry(int32_t* resultCell, const std::string& prompt, int maxLen) {
  TextEntry& e = gTextEntry;
  // An entry whose owner set its cell back to idle without collecting it
  // is abandoned; otherwise it would lock the editor for good.
  if (e.owner != nullptr && *e.owner == 0) CloseEntry();
  if (resultCell == nullptr || e.owner != nullptr || *resultCell != 0) return 0;
  *resultCell = -1;
  e.owner = resultCell;
  e.buffer = prompt;
  e.start = static_cast<int32_t>(prompt.size());
  e.cursor = e.start;
  e.maxLen = maxLen < 1 ? kDefaultMaxLen : maxLen;
  e.lastChar[0] = 0;
  e.offered.clear();
  e.hasOffered = 0;
  return 1;
}

int BeginTextEntryOffering(int32_t* resultCell, const std::string& offered, int maxLen) {
  if (!BeginTextEntry(resultCell, std::string(), maxLen)) return 0;
  TextEntry& e = gTextEntry;
  e.buffer = offered;
  e.cursor = static_cast<int32_t>(offered.size());
  e.offered = offered;
  e.hasOffered = 1;
  return 1;
}

bool TextEntryEditing() {
  return gTextEntry.owner != nullptr && *gTextEntry.owner == -1;
}

bool TextEntryOwnedBy(const int32_t* resultCell) {
  return resultCell != nullptr && gTextEntry.owner == resultCell;
}

int PollTextEntry(int32_t* resultCell, std::string& text, int resetCell) {
  TextEntry& e = gTextEntry;
  if (resultCell == nullptr || resultCell != e.owner) return 0;
  if (*resultCell != 1 && *resultCell != 2) return 0;
  if (*resultCell == 1) {
    text = e.buffer;
  } else {
    text.clear();
  }
  if (resetCell) *resultCell = 0;
  CloseEntry();
  return 1;
}

int TextEntryChar(int code) {
  if (!TextEntryEditing()) return 0;
  TextEntry& e = gTextEntry;
  // Character messages carry one Windows-1251 byte.
  const int c = code & 0xFF;
  e.lastChar[0] = static_cast<char>(c);
  e.lastChar[1] = 0;
  // The codes of the Left and Right keys.
  if (c == '%' || c == '\'') return 0;

  // Others may edit the buffer too (the letter grid); never index past it.
  const int32_t length = static_cast<int32_t>(e.buffer.size());
  e.start = std::clamp(e.start, 0, length);
  e.cursor = std::clamp(e.cursor, e.start, length);

  switch (c) {
    case 8:  // Backspace: never into the prompt
      if (e.cursor > e.start) {
        --e.cursor;
        e.buffer.erase(static_cast<std::size_t>(e.cursor), 1);
      }
      break;
    case 9:  // Tab
      e.buffer.insert(static_cast<std::size_t>(e.cursor), "__");
      e.cursor += 2;
      break;
    case 13:
      *e.owner = 1;
      break;
    case 27:
      *e.owner = 2;
      break;
    case 36:
      e.cursor = e.start;
      break;  // Home, and '$'
    case 35:  // End, and '#'
      e.cursor = static_cast<int32_t>(e.buffer.size());
      break;
    default:
      if (c >= 32) {
        if (e.hasOffered && e.buffer == e.offered) {
          e.buffer.erase(static_cast<std::size_t>(e.start));
          e.cursor = e.start;
        }
        e.buffer.insert(static_cast<std::size_t>(e.cursor), 1, static_cast<char>(c));
        ++e.cursor;
      }
      break;
  }
  const int32_t now = static_cast<int32_t>(e.buffer.size());
  e.cursor = std::clamp(e.cursor, e.start, now);
  // Full: accepted.  Only a key that made the text longer fills it, so an
  // offered text already at the maximum can still be edited.
  if (now > length && now - e.start >= e.maxLen) *e.owner = 1;
  return 1;
}
