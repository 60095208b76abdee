// The play well: a grid of signed cells, walls included.  Row 0 is the top
// row; index = row * width + column; down is index + width.
//   0      empty
//   1..9   a coloured cell
//   -1     wall (columns 0 and width-1, the bottom row) or blocked cell
// Every operation works on indices; runs never wrap across a row end because
// the wall columns always hold -1 (only reset() writes them, setCell() never
// does), so the grid's cells must not be written directly.
#pragma once

#include <array>
#include <cstdint>

struct Piece;

constexpr int32_t kMinFieldWidth = 7;
constexpr int32_t kMinFieldHeight = 11;
// The largest well is 17 x 17; the storage leaves room for larger test grids.
constexpr int32_t kMaxFieldSide = 32;
constexpr int32_t kMaxFieldCells = kMaxFieldSide * kMaxFieldSide;
// Capacity of a removal list (more than any grid holds).
constexpr int32_t kLineListCapacity = 499;

constexpr int32_t kWall = -1;

struct Field {
  int32_t width = kMinFieldWidth;
  int32_t height = kMinFieldHeight;
  int32_t count = kMinFieldWidth * kMinFieldHeight;
  std::array<int32_t, kMaxFieldCells> cells{};

  // Sizes below 7 x 11 are raised to it, above 32 x 32 lowered to it; the
  // grid starts reset (walls only).
  explicit Field(int32_t w = kMinFieldWidth, int32_t h = kMinFieldHeight);

  int32_t index(int32_t row, int32_t column) const { return row * width + column; }

  // -1 outside the grid.
  int32_t cellAt(int32_t i) const { return i < 0 || i >= count ? kWall : cells[i]; }
  // Writes unless the cell is a wall, a blocked cell or outside the grid.
  void setCell(int32_t i, int32_t value) {
    if (cellAt(i) != kWall) cells[i] = value;
  }
  void reset();
  // No empty cell in the row (walls count as filled); false outside the grid.
  bool isRowFilled(int32_t row) const;
  // One row of gravity: every coloured cell above an empty one drops into
  // it, bottom up, so a whole column above a gap drops one row.  True when
  // anything moved.
  bool gravityStep();
  // Every cell that lies in a straight run (horizontal, vertical, both
  // diagonals) of at least minRun cells of one colour, each listed once in
  // index order with its colour; at most `capacity` are listed.  Returns the
  // number listed.
  int findLines(int minRun, int32_t* outCells, int32_t* outColours, int capacity) const;

  // True when a filled ring slot of the piece centred at p lands on a cell
  // that is not empty (the centre itself is not tested).
  bool pieceCollides(int32_t p, const Piece& piece) const;
  // Writes the filled ring slots in slot order; stops with false at the
  // first target that is a wall, blocked or outside the grid.
  bool placePiece(int32_t p, const Piece& piece);
  // Turns the ring |turns| times by one slot (+ clockwise on screen, -
  // counter-clockwise); every intermediate position must be free, otherwise
  // the piece is left as it was and false is returned.
  bool rotatePiece(int32_t p, Piece& piece, int turns) const;
  // The cell takes the colour of one of its coloured orthogonal neighbours
  // (left, right, up, down), picked at random; unchanged when none has one.
  void repaintFromNeighbour(int32_t i);
};

// Index offset of ring slot 1..8 (clockwise from the upper left) for a grid
// of the given width; 0 for other slots.
constexpr int32_t RingOffset(int slot, int32_t width) {
  switch (slot) {
    case 1:
      return -width - 1;
    case 2:
      return -width;
    case 3:
      return -width + 1;
    case 4:
      return 1;
    case 5:
      return width + 1;
    case 6:
      return width;
    case 7:
      return width - 1;
    case 8:
      return -1;
    default:
      return 0;
  }
}
