// The records lists beside the well and the one-line tip panel.
#pragma once

#include <cstdint>
#include <string>

#include "game/host.h"

struct Panel;

extern int32_t gSideInfoIndex;

// Shows SideInfoPanel with record line `index`; RecordsListClick
// (game/host.h) calls it for a click on the list beside the well.
void ShowSideInfo(int index);
void DrawRecordName(Panel* panel);
void DrawRecordTail(Panel* panel);
void DrawRecordStripRow(Panel* panel);
void DrawSideInfo(Panel* panel);

// The characters a row leaves out of its record line, from the front and
// from the back, as handed to the text drawing.
struct TextSkip {
  int front = 0;
  int back = 0;
};
TextSkip RecordNameSkip(int length);  // the first 15 characters
TextSkip RecordTailSkip(int length);  // from the 29th character on
TextSkip RecordStripSkip(int tag, int length);
// The part of `text` the text drawing shows for these skips: a skip that is
// negative or not less than the length counts as 0; nothing when the two
// together cover the text.
std::string VisibleTextPart(const std::string& text, TextSkip skip);
// The row the running game would take pulses.
bool RecordRowHighlighted(int tag);
