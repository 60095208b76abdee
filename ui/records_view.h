// The records lists beside the well and the one-line tip panel.
#pragma once

#include <cstdint>

struct Panel;

extern int32_t gSideInfoIndex;

void ShowSideInfo(int index);
void DrawRecordName(Panel* panel);
void DrawRecordTail(Panel* panel);
void DrawRecordStripRow(Panel* panel);
void DrawSideInfo(Panel* panel);
