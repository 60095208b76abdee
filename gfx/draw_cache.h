// Recorded drawing and the picture cache of the panel layer.
//
// With a software renderer the panels cost milliseconds a frame, although
// their texts change only now and then.  While a layer is open, the drawing
// primitives do not draw: they append themselves to the layer's recording,
// one item per top-level panel (or frame border).  When the layer closes,
// a group of items whose recordings, GL state and the draws beneath them
// are the same as when their rectangles were last copied out is drawn as
// those copies, one opaque quad each; the others are replayed call by call.
// The picture is the same either way: an area is a function of the calls
// drawn into it and of what lay there before.
#pragma once

#include <cstddef>
#include <cstdint>

// The straightforward way: no recording, no cache, every quad drawn as it
// is asked for.  Tests compare the two ways on the same frames.
void SetStraightDrawing(int on);
int StraightDrawing();

// ------------------------------------------------------------ recording

// True while a layer item is being recorded, or a probe runs: primitives
// record, not draw.
bool DrawRecording();
// A recorded call: `replay` gets back the same argument bytes.  The extent
// (window pixels, x0 <= x1, y0 <= y1) bounds what the call may touch before
// the scissor; a call that draws nothing passes none.
using ReplayFn = void (*)(const uint8_t* args, size_t size);
void RecordDraw(ReplayFn replay, const void* args, size_t size, float x0, float y0, float x1,
                float y1);
void RecordState(ReplayFn replay, const void* args, size_t size);
// The scissor as the recorded calls leave it, for the extents.
void RecordScissor(int x, int y, int w, int h);
void RecordScissorTest(int on);
// The scissor as drawing sets it: while the layer draws an item again over
// part of its copy, the scissor asked for is cut to that part.
void ApplyScissor(int x, int y, int w, int h);
void ApplyScissorTest(int on);

// ------------------------------------------------------------ probe
//
// A frame drawn as a probe puts nothing on the screen: every call that would
// draw or set drawing state folds what decides its pixels (the call and its
// arguments) into one hash instead.  Two probes with the same hash stand for
// the same picture on a screen cleared the same way, so a frame whose probe
// matches the picture on the screen need not be drawn.  The layer stays
// closed during a probe and nothing is noted as drawn.
void BeginDrawProbe();
uint64_t EndDrawProbe();
bool DrawProbing();
// For what draws by other means than the primitives (the well's quads, the
// clear): folds bytes into the running probe.
void FoldIntoProbe(const void* data, size_t size);

// ------------------------------------------------------------ drawn area

// What was drawn outside the layer since the screen was cleared to black;
// the layer trusts the areas not named here to be black.
// A draw whose pixels are known by `content` (a hash of everything that
// decides them: place, colours, texture, blending) lets a copy of what is
// drawn over it stand as long as the same draws come again.
void NoteScreenCleared();
void NoteDrawn(float x0, float y0, float x1, float y1);
void NoteDrawnContent(float x0, float y0, float x1, float y1, uint64_t content);
uint64_t HashBytes(const void* data, size_t size, uint64_t seed);

// ------------------------------------------------------------ the layer

// Opens the layer inside the window's 2D projection; the screen must have
// been cleared (NoteScreenCleared) this frame for the cache to be used.
void BeginCachedLayer();
bool CachedLayerOpen();
// One item: `identity` tells the same item apart from frame to frame.
void BeginLayerItem(const void* identity, int kind);
void EndLayerItem();
// Draws every item in order, from the cache or replayed, and copies out
// the items that have stayed the same since the last frame.
void EndCachedLayer();
// Deletes the cached pictures (before the GL context goes).
void ReleaseLayerCache();

// How the last closed layer was drawn (for tests and the benchmark).
struct LayerStats {
  int items = 0;
  int cached = 0;   // items drawn from a copy
  int copied = 0;   // areas copied out after drawing
  int patched = 0;  // of the cached, items drawn again where the draws beneath changed
};
LayerStats LastLayerStats();
