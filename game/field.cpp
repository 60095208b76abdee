#include "game/field.h"

#include <algorithm>
#include <cstring>

#include "base/random.h"
#include "game/game_state.h"

Field::Field(int32_t w, int32_t h) {
  width = std::clamp(w, kMinFieldWidth, kMaxFieldSide);
  height = std::clamp(h, kMinFieldHeight, kMaxFieldSide);
  count = width * height;
  reset();
}

void Field::reset() {
  const int32_t bottom = (height - 1) * width;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t column = i % width;
    const bool wall = column == 0 || column == width - 1 || i >= bottom;
    cells[i] = wall ? kWall : 0;
  }
}

bool Field::isRowFilled(int32_t row) const {
  if (row < 0 || row >= height) return false;
  const int32_t* c = cells.data() + row * width;
  for (int32_t i = 0; i < width; ++i) {
    if (c[i] == 0) return false;
  }
  return true;
}

bool Field::gravityStep() {
  int32_t* c = cells.data();
  const int32_t above = count - width;
  // A settled well is the usual case: find out cheaply (this scan
  // vectorises) before the bottom-up pass that moves cells.
  uint8_t loose = 0;
  for (int32_t i = 0; i < above; ++i)
    loose |= static_cast<uint8_t>((c[i] > 0) & (c[i + width] == 0));
  if (!loose) return false;

  bool moved = false;
  for (int32_t i = above - 1; i >= 0; --i) {
    if (c[i] > 0 && c[i + width] == 0) {
      c[i + width] = c[i];
      c[i] = 0;
      moved = true;
    }
  }
  return moved;
}

namespace {

// Room before the window starts so that win[i - k*d] never goes below the
// buffer: four cells along the longest step of the largest grid.
constexpr int32_t kPad = 4 * (kMaxFieldSide + 1);

// Marks every cell of every window of N equal coloured cells along the
// direction step d.  eq[i]: cell i and cell i + d hold the same colour; a
// window starting at i needs eq[i], eq[i + d], ... eq[i + (N-2)d].  The wall
// columns and the bottom row never match, so index neighbours across a row
// end never join a run.  Three branch-free passes that the compiler can
// vectorise.
template <int N>
void MarkWindows(const uint8_t* c, int32_t count, int32_t d, uint8_t* mark) {
  uint8_t eq[kMaxFieldCells];
  uint8_t winBuffer[kPad + kMaxFieldCells];
  uint8_t* win = winBuffer + kPad;
  std::memset(winBuffer, 0, static_cast<std::size_t>(kPad + count));

  const int32_t pairs = count - d;
  for (int32_t i = 0; i < pairs; ++i) {
    eq[i] = static_cast<uint8_t>((c[i] != 0) & (c[i] == c[i + d]));
  }
  const int32_t starts = count - (N - 1) * d;
  for (int32_t i = 0; i < starts; ++i) {
    uint8_t w = eq[i];
    for (int k = 1; k < N - 1; ++k) w &= eq[i + k * d];
    win[i] = w;
  }
  for (int32_t i = 0; i < count; ++i) {
    uint8_t m = win[i];
    for (int k = 1; k < N; ++k) m |= win[i - k * d];
    mark[i] |= m;
  }
}

// Any other run length: plain and slower.
void MarkWindowsAny(int n, const uint8_t* c, int32_t count, int32_t d, uint8_t* mark) {
  uint8_t eq[kMaxFieldCells];
  const int32_t pairs = count - d;
  for (int32_t i = 0; i < pairs; ++i) {
    eq[i] = static_cast<uint8_t>((c[i] != 0) & (c[i] == c[i + d]));
  }
  const int32_t starts = count - (n - 1) * d;
  for (int32_t i = 0; i < starts; ++i) {
    uint8_t w = eq[i];
    for (int k = 1; k < n - 1; ++k) w &= eq[i + k * d];
    for (int k = 0; k < n; ++k) mark[i + k * d] |= w;
  }
}

}  // namespace

int Field::findLines(int minRun, int32_t* outCells, int32_t* outColours, int capacity) const {
  alignas(8) uint8_t mark[kMaxFieldCells + 8];
  const int32_t* c = cells.data();
  std::memset(mark, 0, static_cast<std::size_t>(count) + 8);

  // Colours as bytes, 0 for everything that never joins a run (empty,
  // walls, and values no colour has), so that sixteen cells compare at once.
  uint8_t colour[kMaxFieldCells];
  for (int32_t i = 0; i < count; ++i) {
    colour[i] = static_cast<uint8_t>(c[i] > 0 && c[i] < 256 ? c[i] : 0);
  }

  if (minRun <= 1) {
    for (int32_t i = 0; i < count; ++i) mark[i] = static_cast<uint8_t>(colour[i] != 0);
  } else {
    // Right, down, down-right and down-left (the up-right diagonal read
    // the other way round).
    const int32_t steps[4] = {1, width, width + 1, width - 1};
    for (int32_t d : steps) {
      if (static_cast<int64_t>(minRun - 1) * d >= count) continue;
      switch (minRun) {
        case 3:
          MarkWindows<3>(colour, count, d, mark);
          break;
        case 4:
          MarkWindows<4>(colour, count, d, mark);
          break;
        default:
          MarkWindowsAny(minRun, colour, count, d, mark);
          break;
      }
    }
  }

  if (outCells == nullptr || outColours == nullptr || capacity <= 0) return 0;
  int n = 0;
  for (int32_t i = 0; i < count && n < capacity; i += 8) {
    // Most of a well is never marked: skip eight cells at a time.
    uint64_t eight;
    std::memcpy(&eight, mark + i, sizeof eight);
    if (eight == 0) continue;
    const int32_t end = std::min(i + 8, count);
    for (int32_t j = i; j < end && n < capacity; ++j) {
      outCells[n] = j;
      outColours[n] = c[j];
      n += mark[j];
    }
  }
  return n;
}

bool Field::pieceCollides(int32_t p, const Piece& piece) const {
  for (int slot = 1; slot <= 8; ++slot) {
    if (piece.ring[slot - 1] != 0 && cellAt(p + RingOffset(slot, width)) != 0) return true;
  }
  return false;
}

bool Field::placePiece(int32_t p, const Piece& piece) {
  for (int slot = 1; slot <= 8; ++slot) {
    const int32_t colour = piece.ring[slot - 1];
    if (colour == 0) continue;
    const int32_t target = p + RingOffset(slot, width);
    if (cellAt(target) == kWall) return false;
    setCell(target, colour);
  }
  return true;
}

bool Field::rotatePiece(int32_t p, Piece& piece, int turns) const {
  const std::array<int32_t, 8> before = piece.ring;
  const int steps = turns < 0 ? -turns : turns;
  for (int t = 0; t < steps; ++t) {
    if (turns > 0) {
      // Slot k moves to slot k + 1, slot 8 to slot 1.
      std::rotate(piece.ring.rbegin(), piece.ring.rbegin() + 1, piece.ring.rend());
    } else {
      std::rotate(piece.ring.begin(), piece.ring.begin() + 1, piece.ring.end());
    }
    if (pieceCollides(p, piece)) {
      piece.ring = before;
      return false;
    }
  }
  return true;
}

void Field::repaintFromNeighbour(int32_t i) {
  const int32_t around[4] = {i - 1, i + 1, i - width, i + width};
  int32_t colours[4];
  int n = 0;
  for (int32_t j : around) {
    const int32_t v = cellAt(j);
    if (v > 0) colours[n++] = v;
  }
  if (n > 0) setCell(i, colours[Random(0, n - 1)]);
}
