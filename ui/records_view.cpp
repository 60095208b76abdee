#include "ui/records_view.h"

#include "app/app_state.h"
#include "gfx/draw.h"
#include "records/records.h"
#include "base/timers.h"
#include "ui/fonts.h"
#include "ui/layout.h"
#include "ui/panel_tree.h"
#include "ui/status_panels.h"

int32_t gSideInfoIndex = 0;

namespace {

constexpr int kNameChars = 15;
constexpr int kTailSkipFront = 28;
constexpr int kStripSkipBack = 36;
constexpr int kStripSkipBackTag1 = 16;

// One pair of highlight pulses per list, set up on first use.
struct HighlightPulses {
  Pulse fill;
  Pulse outline;
  bool ready = false;
};
HighlightPulses gRecordsPulses;  // RecordsPanel
HighlightPulses gStripPulses;    // RecordsStripPanel

HighlightPulses& Ready(HighlightPulses& p) {
  if (!p.ready) {
    PulseInit(p.fill, 0.7f, 0.2f, 0.8f, 0.005f, kPulsePingPong, 10);
    PulseInit(p.outline, 0.5f, 0.4f, 0.8f, 0.006f, kPulsePingPong, 10);
    p.ready = true;
  }
  return p;
}

const RecordLine* LineFor(const Panel* p) {
  if (p == nullptr || p->tag < 0 || p->tag >= static_cast<int>(gRecordLines.size())) return nullptr;
  return &gRecordLines[static_cast<size_t>(p->tag)];
}

float X(const Panel* p, int dx) {
  return static_cast<float>(p->x + dx);
}
float Y(const Panel* p, int dy) {
  return static_cast<float>(p->y + dy);
}

// The pulsing fill of the highlighted row: grey from the pulse value at the top to 0.2.
void HighlightFill(const Panel* p, HighlightPulses& pulses) {
  const float top = PulseStep(Ready(pulses).fill);
  GreyVGradientQuad(top, 0.2f, 0.9f, X(p, 0), Y(p, 0), static_cast<float>(p->w),
                    static_cast<float>(p->h), 1);
}

void HighlightOutline(const Panel* p, HighlightPulses& pulses) {
  const float alpha = PulseStep(Ready(pulses).outline);
  FlatDrawing();
  OutlinePanel(p, 2, 3, 1.0f, 0.9f, 0.8f, alpha);
}

int Length(const std::string& s) {
  return static_cast<int>(s.size());
}

}  // namespace

TextSkip RecordNameSkip(int length) {
  TextSkip s;
  if (length > kNameChars) s.back = length - kNameChars;
  return s;
}

TextSkip RecordTailSkip(int /*length*/) {
  // A line no longer than the skip is shown whole: the text drawing drops a
  // skip that is not less than the length.
  return TextSkip{kTailSkipFront, 0};
}

TextSkip RecordStripSkip(int tag, int /*length*/) {
  return TextSkip{0, tag == 1 ? kStripSkipBackTag1 : kStripSkipBack};
}

std::string VisibleTextPart(const std::string& text, TextSkip skip) {
  const int n = Length(text);
  if (skip.front < 0 || skip.front >= n) skip.front = 0;
  if (skip.back < 0 || skip.back >= n) skip.back = 0;
  if (skip.front + skip.back >= n) return std::string();
  return text.substr(static_cast<size_t>(skip.front),
                     static_cast<size_t>(n - skip.front - skip.back));
}

bool RecordRowHighlighted(int tag) {
  return gPreviewRank != 0 && tag == gPreviewRank - 1;
}

void ShowSideInfo(int index) {
  ShowPanel(SideInfoPanel, true);
  gSideInfoIndex = index;
}

// The list beside the well: 365 pixels wide from W / 2 - 50, twenty lines of
// H * 0.025 from H * 0.03 up; a click on a line shows that line.
void RecordsListClick(int x, int y) {
  const int32_t W = gApp.windowWidth, H = gApp.windowHeight;
  const int32_t left = W / 2 - 50;
  const int32_t top = static_cast<int32_t>(H * 0.03);
  const int32_t lineH = static_cast<int32_t>(H * 0.025);
  if (lineH <= 0) return;
  if (x < left || x >= left + 365 || y < top || y >= top + 20 * lineH) return;
  ShowSideInfo((20 * lineH - (y - top)) / lineH);
}

void DrawRecordName(Panel* p) {
  const RecordLine* line = LineFor(p);
  if (line == nullptr) return;
  const bool lit = RecordRowHighlighted(p->tag);
  FlatDrawing();
  if (lit) {
    HighlightFill(p, gRecordsPulses);
  } else {
    GreyVGradientQuad(0.3f, 0.0f, 0.8f, X(p, 0), Y(p, 0), static_cast<float>(p->w),
                      static_cast<float>(p->h), 1);
    OutlinePanel(p, 3, 3, 0.4f, 0.3f, 0.2f, 0.7f);
  }
  OutlinePanel(p, 0, 1, 0.9f, 0.4f, 0.4f, 0.5f);
  const TextSkip skip = RecordNameSkip(Length(line->text));
  SetNextTextColour(1.0f, 0.9f, 0.8f, 1.0f);
  ApplyTextColour();
  DrawTextAt(line->text, 5, X(p, 2), Y(p, 0), std::string(), skip.front, skip.back);
  if (lit) HighlightOutline(p, gRecordsPulses);
}

void DrawRecordTail(Panel* p) {
  const RecordLine* line = LineFor(p);
  if (line == nullptr) return;
  FlatDrawing();
  FillPanel(p, 0.15f, 0.2f, 0.2f, 0.6f);
  OutlinePanel(p, 2, 1, 0.4f, 0.5f, 0.5f, 0.6f);
  const TextSkip skip = RecordTailSkip(Length(line->text));
  SetNextTextColour(1.0f, 0.9f, 0.5f, 1.0f);
  ApplyTextColour();
  DrawTextAt(line->text, 5, X(p, 3), Y(p, 2), line->colours, skip.front, skip.back);
}

void DrawRecordStripRow(Panel* p) {
  const RecordLine* line = LineFor(p);
  if (line == nullptr) return;
  FlatDrawing();
  if (RecordRowHighlighted(p->tag)) {
    HighlightFill(p, gStripPulses);
    SetNextTextColour(1.0f, 0.9f, 0.8f, 1.0f);
    ApplyTextColour();
    DrawTextAt(line->text, 5, X(p, 2), Y(p, 0));
    HighlightOutline(p, gStripPulses);
    return;
  }
  FillPanel(p, 0.1f, 0.15f, 0.15f, 0.5f);
  ApplyTextColour();
  const TextSkip skip = RecordStripSkip(p->tag, Length(line->text));
  DrawTextAt(line->text, 5, X(p, 3), Y(p, 2), line->colours, skip.front, skip.back);
}

void DrawSideInfo(Panel* p) {
  if (p == nullptr) return;
  FlatDrawing();
  FillPanel(p, 0.1f, 0.1f, 0.2f, 0.7f);
  // The index comes from a click position: guard both ends.
  if (gSideInfoIndex < 0 || gSideInfoIndex >= static_cast<int>(gRecordLines.size())) return;
  const RecordLine& line = gRecordLines[static_cast<size_t>(gSideInfoIndex)];
  ApplyTextColour();
  DrawTextAt(line.text, 5, X(p, 5), Y(p, 3), line.colours);
}
