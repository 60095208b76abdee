// Recorded drawing and the picture cache of the panel layer.
#include "gfx/draw_cache.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "gfx/texture.h"

namespace {

int gStraight = 0;

// ------------------------------------------------------------ GL state

// The state that one item's calls hand on to the next: what they set and
// what they read back (the text colours start from the current colour).
struct GlState {
  float colour[4];
  GLint blend, src, dst;
  GLint texturing, binding;
  GLint colourMaterial;
  GLint scissorOn, scissor[4];
};

GlState ReadState() {
  GlState s{};
  glGetFloatv(GL_CURRENT_COLOR, s.colour);
  s.blend = glIsEnabled(GL_BLEND);
  glGetIntegerv(GL_BLEND_SRC, &s.src);
  glGetIntegerv(GL_BLEND_DST, &s.dst);
  s.texturing = glIsEnabled(GL_TEXTURE_2D);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.binding);
  s.colourMaterial = glIsEnabled(GL_COLOR_MATERIAL);
  s.scissorOn = glIsEnabled(GL_SCISSOR_TEST);
  glGetIntegerv(GL_SCISSOR_BOX, s.scissor);
  return s;
}

void Enable(GLenum cap, GLint on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

// The colour goes last: with colour-material on it also sets the material.
void WriteState(const GlState& s) {
  Enable(GL_BLEND, s.blend);
  glBlendFunc(static_cast<GLenum>(s.src), static_cast<GLenum>(s.dst));
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(s.binding));
  Enable(GL_TEXTURE_2D, s.texturing);
  Enable(GL_COLOR_MATERIAL, s.colourMaterial);
  glScissor(s.scissor[0], s.scissor[1], s.scissor[2], s.scissor[3]);
  Enable(GL_SCISSOR_TEST, s.scissorOn);
  glColor4fv(s.colour);
}

bool SameState(const GlState& a, const GlState& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// ------------------------------------------------------------ rectangles

struct Rect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 exclusive
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

bool Overlap(const Rect& a, const Rect& b) {
  return !a.Empty() && !b.Empty() && a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return Rect{std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1),
              std::max(a.y1, b.y1)};
}

// The whole pixels a filled rectangle can light: those whose centres lie in it.
Rect PixelsAround(float x0, float y0, float x1, float y1) {
  auto lo = [](float v) { return static_cast<int>(std::max(-1.0e6f, std::floor(v))); };
  auto hi = [](float v) { return static_cast<int>(std::min(1.0e6f, std::ceil(v))); };
  return Rect{lo(x0), lo(y0), hi(x1), hi(y1)};
}

// ------------------------------------------------------------ drawn area

// Every draw outside the layer since the clear, with what it drew (0: not
// known, so nothing drawn over it can be copied).
struct Drawn {
  Rect area;
  uint64_t content;
};
std::vector<Drawn> gDrawn;
bool gCleared = false;
bool gDrawnOverflow = false;
constexpr size_t kMaxDrawn = 8192;

// ------------------------------------------------------------ the layer

// A few rectangles that together hold what something draws.
using Rects = std::vector<Rect>;

bool Overlap(const Rects& a, const Rect& r) {
  for (const Rect& x : a)
    if (Overlap(x, r)) return true;
  return false;
}

bool Overlap(const Rects& a, const Rects& b) {
  for (const Rect& r : b)
    if (Overlap(a, r)) return true;
  return false;
}

int64_t AreaOf(const Rect& r) {
  return r.Empty() ? 0 : static_cast<int64_t>(r.x1 - r.x0) * (r.y1 - r.y0);
}

// Adds a rectangle.  Rectangles that meet become their outline when that
// adds little area (a line along a bar, text on its backdrop); the four
// bars of a frame stay apart, or the frame would copy all it surrounds.
// Too many become one.
void AddRect(Rects& rects, Rect r) {
  if (r.Empty()) return;
  for (bool merged = true; merged;) {
    merged = false;
    for (size_t k = 0; k < rects.size(); ++k) {
      const Rect u = Union(rects[k], r);
      // One inside the other always merges: its outline is the larger.
      if (!Overlap(rects[k], r) || 4 * AreaOf(u) > 5 * (AreaOf(rects[k]) + AreaOf(r))) continue;
      r = u;
      rects.erase(rects.begin() + static_cast<long>(k));
      merged = true;
      break;
    }
  }
  rects.push_back(r);
  if (rects.size() > 16) {
    Rect all;
    for (const Rect& x : rects) all = Union(all, x);
    rects.assign(1, all);
  }
}

struct Item {
  const void* identity = nullptr;
  int kind = 0;
  std::vector<uint8_t> calls;  // per call: replay function, size, arguments
  Rects area;
  GlState entry{}, exit{};
  int cluster = -1;
  bool skipped = false;
  uint64_t beneath = 0;  // what its cluster was drawn over
};

struct Cluster {
  Rects area;
  std::vector<int> items;
  bool isolated = false;
  std::vector<uint64_t> beneath;  // what was drawn under it before the layer
  int entry = -1;                 // cache entry whose picture may stand for it
  bool drawnFromCache = false;
  bool failed = false;  // a member's state did not match: replayed
};

struct CacheEntry {
  std::vector<const void*> identities;
  std::vector<int> kinds;
  std::vector<std::vector<uint8_t>> calls;
  std::vector<GlState> entry, exit;
  std::vector<uint64_t> beneath;
  Rects area;
  uint64_t textureGeneration = 0;
  std::vector<GLuint> textures;  // one per rectangle of the area
  std::vector<int> texW, texH;
  uint64_t lastUsed = 0;
};

bool gLayerOpen = false;
bool gLayerUsable = false;
int gCurrentItem = -1;
std::vector<Item> gItems;
int gItemCount = 0;
// Last frame's calls by item, to copy out only what holds still.
std::vector<Item> gPrevious;
int gPreviousCount = 0;
std::vector<CacheEntry> gCache;
constexpr size_t kMaxCacheEntries = 24;
uint64_t gFrame = 0;
bool gReplaying = false;
LayerStats gStats;

struct ScissorTrack {
  bool on = false;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
} gScissor;

void Append(std::vector<uint8_t>& out, const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  out.insert(out.end(), b, b + n);
}

void AppendCall(ReplayFn replay, const void* args, size_t size) {
  std::vector<uint8_t>& calls = gItems[static_cast<size_t>(gCurrentItem)].calls;
  const uint32_t n = static_cast<uint32_t>(size);
  Append(calls, &replay, sizeof replay);
  Append(calls, &n, sizeof n);
  if (size > 0) Append(calls, args, size);
}

void Replay(const std::vector<uint8_t>& calls) {
  gReplaying = true;
  size_t at = 0;
  while (at + sizeof(ReplayFn) + sizeof(uint32_t) <= calls.size()) {
    ReplayFn fn = nullptr;
    uint32_t n = 0;
    std::memcpy(&fn, calls.data() + at, sizeof fn);
    at += sizeof fn;
    std::memcpy(&n, calls.data() + at, sizeof n);
    at += sizeof n;
    fn(calls.data() + at, n);
    at += n;
  }
  gReplaying = false;
}

const Item* PreviousItem(const Item& item) {
  for (int i = 0; i < gPreviousCount; ++i) {
    const Item& p = gPrevious[static_cast<size_t>(i)];
    if (p.identity == item.identity && p.kind == item.kind) return &p;
  }
  return nullptr;
}

bool SameRects(const Rects& a, const Rects& b) {
  if (a.size() != b.size()) return false;
  for (size_t k = 0; k < a.size(); ++k) {
    if (a[k].x0 != b[k].x0 || a[k].y0 != b[k].y0 || a[k].x1 != b[k].x1 || a[k].y1 != b[k].y1)
      return false;
  }
  return true;
}

// The entry made for exactly these items, in this order and this area.
int FindEntry(const Cluster& c) {
  for (size_t e = 0; e < gCache.size(); ++e) {
    const CacheEntry& ce = gCache[e];
    if (ce.identities.size() != c.items.size() || !SameRects(ce.area, c.area) ||
        ce.beneath != c.beneath)
      continue;
    bool same = true;
    for (size_t k = 0; k < c.items.size() && same; ++k) {
      const Item& it = gItems[static_cast<size_t>(c.items[k])];
      same = ce.identities[k] == it.identity && ce.kinds[k] == it.kind && ce.calls[k] == it.calls;
    }
    if (same) return static_cast<int>(e);
  }
  return -1;
}

int PowerOfTwo(int v) {
  int p = 1;
  while (p < v) p *= 2;
  return p;
}

void DeleteEntry(CacheEntry& e) {
  for (GLuint& t : e.textures) {
    if (t != 0) glDeleteTextures(1, &t);
  }
  e.textures.clear();
  e.texW.clear();
  e.texH.clear();
}

// Draws the copied pictures of a cluster, exactly over its rectangles.
void DrawCopy(const CacheEntry& e) {
  glDisable(GL_BLEND);
  glDisable(GL_SCISSOR_TEST);
  glEnable(GL_TEXTURE_2D);
  glColor4f(1, 1, 1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  for (size_t k = 0; k < e.area.size() && k < e.textures.size(); ++k) {
    const Rect& a = e.area[k];
    glBindTexture(GL_TEXTURE_2D, e.textures[k]);
    const float w = static_cast<float>(a.x1 - a.x0), h = static_cast<float>(a.y1 - a.y0);
    const float u = w / static_cast<float>(e.texW[k]), v = h / static_cast<float>(e.texH[k]);
    const float x0 = static_cast<float>(a.x0), y0 = static_cast<float>(a.y0);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x0, y0);
    glTexCoord2f(u, 0);
    glVertex2f(x0 + w, y0);
    glTexCoord2f(u, v);
    glVertex2f(x0 + w, y0 + h);
    glTexCoord2f(0, v);
    glVertex2f(x0, y0 + h);
    glEnd();
  }
}

// Copies a cluster's area out of the frame being drawn into a cache entry.
void CopyOut(const Cluster& c) {
  size_t slot = gCache.size();
  for (size_t e = 0; e < gCache.size(); ++e) {
    if (gCache[e].identities.size() == c.items.size()) {
      bool same = true;
      for (size_t k = 0; k < c.items.size() && same; ++k)
        same = gCache[e].identities[k] == gItems[static_cast<size_t>(c.items[k])].identity;
      if (same) {
        slot = e;
        break;
      }
    }
  }
  if (slot == gCache.size()) {
    if (gCache.size() >= kMaxCacheEntries) {
      // The entry unused longest makes room.
      slot = 0;
      for (size_t e = 1; e < gCache.size(); ++e)
        if (gCache[e].lastUsed < gCache[slot].lastUsed) slot = e;
    } else {
      gCache.emplace_back();
    }
  }
  CacheEntry& e = gCache[slot];
  if (e.textures.size() != c.area.size()) {
    DeleteEntry(e);
    e.textures.assign(c.area.size(), 0);
    e.texW.assign(c.area.size(), 0);
    e.texH.assign(c.area.size(), 0);
  }
  for (size_t k = 0; k < c.area.size(); ++k) {
    const Rect& a = c.area[k];
    const int w = a.x1 - a.x0, h = a.y1 - a.y0;
    const int tw = PowerOfTwo(w), th = PowerOfTwo(h);
    GLuint& t = e.textures[k];
    if (t == 0 || e.texW[k] < tw || e.texH[k] < th) {
      if (t != 0) glDeleteTextures(1, &t);
      glGenTextures(1, &t);
      glBindTexture(GL_TEXTURE_2D, t);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
      e.texW[k] = tw;
      e.texH[k] = th;
    } else {
      glBindTexture(GL_TEXTURE_2D, t);
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, a.x0, a.y0, w, h);
  }
  e.identities.clear();
  e.kinds.clear();
  e.calls.clear();
  e.entry.clear();
  e.exit.clear();
  for (int i : c.items) {
    const Item& it = gItems[static_cast<size_t>(i)];
    e.identities.push_back(it.identity);
    e.kinds.push_back(it.kind);
    e.calls.push_back(it.calls);
    e.entry.push_back(it.entry);
    e.exit.push_back(it.exit);
  }
  e.area = c.area;
  e.beneath = c.beneath;
  e.textureGeneration = TextureGeneration();
  e.lastUsed = gFrame;
  ++gStats.copied;
}

// Groups items whose areas meet; a group touched by nothing else this frame
// may be drawn from a copy.
// Everything besides the calls and the draws beneath that decides what the
// calls draw: where the view maps, how fragments are tested and written.
uint64_t DrawingSetup() {
  struct {
    GLint view[4];
    GLfloat projection[16], modelView[16], clear[4];
    GLint depth, alpha, stencil, dither, shade, envMode;
    GLboolean writes[4];
    GLfloat lineWidth;
  } s{};
  glGetIntegerv(GL_VIEWPORT, s.view);
  glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, s.modelView);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, s.clear);
  s.depth = glIsEnabled(GL_DEPTH_TEST);
  s.alpha = glIsEnabled(GL_ALPHA_TEST);
  s.stencil = glIsEnabled(GL_STENCIL_TEST);
  s.dither = glIsEnabled(GL_DITHER);
  glGetIntegerv(GL_SHADE_MODEL, &s.shade);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &s.envMode);
  glGetBooleanv(GL_COLOR_WRITEMASK, s.writes);
  glGetFloatv(GL_LINE_WIDTH, &s.lineWidth);
  return HashBytes(&s, sizeof s, 5);
}

std::vector<Cluster> MakeClusters(const Rect& screen) {
  const uint64_t setup = DrawingSetup();
  std::vector<Cluster> clusters;
  for (int i = 0; i < gItemCount; ++i) {
    Item& it = gItems[static_cast<size_t>(i)];
    it.cluster = -1;
    it.skipped = false;
    // Nothing is drawn off the screen.
    Rects on;
    for (Rect r : it.area) {
      r.x0 = std::max(r.x0, screen.x0);
      r.y0 = std::max(r.y0, screen.y0);
      r.x1 = std::min(r.x1, screen.x1);
      r.y1 = std::min(r.y1, screen.y1);
      AddRect(on, r);
    }
    it.area = on;
    if (it.area.empty()) continue;
    Cluster c;
    c.area = it.area;
    c.items.push_back(i);
    clusters.push_back(c);
  }
  for (bool merged = true; merged;) {
    merged = false;
    for (size_t a = 0; a < clusters.size() && !merged; ++a) {
      for (size_t b = a + 1; b < clusters.size() && !merged; ++b) {
        if (!Overlap(clusters[a].area, clusters[b].area)) continue;
        for (const Rect& r : clusters[b].area) AddRect(clusters[a].area, r);
        clusters[a].items.insert(clusters[a].items.end(), clusters[b].items.begin(),
                                 clusters[b].items.end());
        std::sort(clusters[a].items.begin(), clusters[a].items.end());
        clusters.erase(clusters.begin() + static_cast<long>(b));
        merged = true;
      }
    }
  }
  for (size_t k = 0; k < clusters.size(); ++k) {
    Cluster& c = clusters[k];
    for (int i : c.items) gItems[static_cast<size_t>(i)].cluster = static_cast<int>(k);
    // Copies are taken of the screen only, and only over what is known.
    c.isolated = gLayerUsable && !gDrawnOverflow;
    c.beneath.assign(1, setup);
    for (const Drawn& d : gDrawn) {
      if (!Overlap(c.area, d.area)) continue;
      if (d.content == 0) c.isolated = false;
      c.beneath.push_back(d.content);
    }
    const uint64_t under = HashBytes(c.beneath.data(), c.beneath.size() * sizeof(uint64_t), 3);
    for (int i : c.items) gItems[static_cast<size_t>(i)].beneath = under;
    if (c.isolated) {
      c.entry = FindEntry(c);
      if (c.entry >= 0 &&
          gCache[static_cast<size_t>(c.entry)].textureGeneration != TextureGeneration())
        c.entry = -1;
    }
  }
  return clusters;
}

// The members skipped so far are drawn after all, each from the state it
// met when its picture was taken; then the state is put back.
void ReplaySkipped(Cluster& c, const CacheEntry& e) {
  const GlState now = ReadState();
  for (size_t k = 0; k < c.items.size(); ++k) {
    Item& it = gItems[static_cast<size_t>(c.items[k])];
    if (!it.skipped) continue;
    WriteState(e.entry[k]);
    Replay(it.calls);
    it.skipped = false;
  }
  WriteState(now);
}

// A 1 x 2 texture of ours tells whether the copies belong to the current GL
// context: tests make and drop contexts, and a texture name of a dead one
// may stand for anything in the next.
GLuint gSentinel = 0;

bool SentinelAlive() {
  if (gSentinel == 0 || !glIsTexture(gSentinel)) return false;
  GLint was = 0, w = 0, h = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &was);
  glBindTexture(GL_TEXTURE_2D, gSentinel);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(was));
  return w == 1 && h == 2;
}

void CheckContext() {
  if (SentinelAlive()) return;
  gCache.clear();  // names of another context: forgotten, not deleted
  gPreviousCount = 0;
  GLint was = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &was);
  glGenTextures(1, &gSentinel);
  glBindTexture(GL_TEXTURE_2D, gSentinel);
  const uint8_t texels[8] = {};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(was));
}

}  // namespace

void SetStraightDrawing(int on) {
  gStraight = on != 0 ? 1 : 0;
}

int StraightDrawing() {
  return gStraight;
}

bool DrawRecording() {
  return gCurrentItem >= 0;
}

void RecordDraw(ReplayFn replay, const void* args, size_t size, float x0, float y0, float x1,
                float y1) {
  if (gCurrentItem < 0) return;
  AppendCall(replay, args, size);
  if (gScissor.on) {
    x0 = std::max(x0, gScissor.x0);
    y0 = std::max(y0, gScissor.y0);
    x1 = std::min(x1, gScissor.x1);
    y1 = std::min(y1, gScissor.y1);
    if (x1 <= x0 || y1 <= y0) return;
  }
  Item& it = gItems[static_cast<size_t>(gCurrentItem)];
  AddRect(it.area, PixelsAround(x0, y0, x1, y1));
}

void RecordState(ReplayFn replay, const void* args, size_t size) {
  if (gCurrentItem >= 0) AppendCall(replay, args, size);
}

void RecordScissor(int x, int y, int w, int h) {
  gScissor.x0 = static_cast<float>(x);
  gScissor.y0 = static_cast<float>(y);
  gScissor.x1 = static_cast<float>(x) + static_cast<float>(std::max(w, 0));
  gScissor.y1 = static_cast<float>(y) + static_cast<float>(std::max(h, 0));
}

void RecordScissorTest(int on) {
  gScissor.on = on != 0;
}

void NoteScreenCleared() {
  gDrawn.clear();
  gCleared = true;
  gDrawnOverflow = false;
}

namespace {
// content 0: what was drawn there is not known.
void Note(float x0, float y0, float x1, float y1, uint64_t content) {
  if (gReplaying || gLayerOpen) return;
  const Rect r = PixelsAround(x0, y0, x1, y1);
  if (r.Empty()) return;
  if (gDrawn.size() >= kMaxDrawn) {
    gDrawnOverflow = true;
    return;
  }
  gDrawn.push_back(Drawn{r, content});
}
}  // namespace

void NoteDrawnContent(float x0, float y0, float x1, float y1, uint64_t content) {
  Note(x0, y0, x1, y1, content == 0 ? 1 : content);
}

void NoteDrawn(float x0, float y0, float x1, float y1) {
  Note(x0, y0, x1, y1, 0);
}

uint64_t HashBytes(const void* data, size_t size, uint64_t seed) {
  // FNV-1a: quick, and a draw that changes changes its bytes.
  uint64_t h = seed ^ 0xcbf29ce484222325ull;
  const auto* b = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) {
    h ^= b[i];
    h *= 0x100000001b3ull;
  }
  return h;
}

void BeginCachedLayer() {
  if (gStraight) return;  // everything is drawn as it is asked for
  gLayerOpen = true;
  gLayerUsable = gCleared && !gStraight;
  if (gLayerUsable) CheckContext();
  gItemCount = 0;
  gCurrentItem = -1;
}

bool CachedLayerOpen() {
  return gLayerOpen;
}

void BeginLayerItem(const void* identity, int kind) {
  if (!gLayerOpen || gCurrentItem >= 0) return;
  if (static_cast<size_t>(gItemCount) >= gItems.size()) gItems.emplace_back();
  Item& it = gItems[static_cast<size_t>(gItemCount)];
  it.identity = identity;
  it.kind = kind;
  it.calls.clear();
  it.area.clear();
  gCurrentItem = gItemCount++;
  gScissor = ScissorTrack{};
}

void EndLayerItem() {
  gCurrentItem = -1;
}

void EndCachedLayer() {
  if (!gLayerOpen) return;
  gCurrentItem = -1;
  gLayerOpen = false;
  ++gFrame;
  gStats = LayerStats{};
  gStats.items = gItemCount;

  GLint view[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, view);
  const Rect screen{view[0], view[1], view[0] + view[2], view[1] + view[3]};
  std::vector<Cluster> clusters = MakeClusters(screen);

  for (int i = 0; i < gItemCount; ++i) {
    Item& it = gItems[static_cast<size_t>(i)];
    Cluster* c = it.cluster >= 0 ? &clusters[static_cast<size_t>(it.cluster)] : nullptr;
    if (c != nullptr && c->entry >= 0 && !c->failed) {
      CacheEntry& e = gCache[static_cast<size_t>(c->entry)];
      const size_t k =
          static_cast<size_t>(std::find(c->items.begin(), c->items.end(), i) - c->items.begin());
      if (SameState(ReadState(), e.entry[k])) {
        it.skipped = true;
        if (k + 1 == c->items.size()) {
          DrawCopy(e);
          e.lastUsed = gFrame;
          c->drawnFromCache = true;
          gStats.cached += static_cast<int>(c->items.size());
        }
        WriteState(e.exit[k]);
        continue;
      }
      ReplaySkipped(*c, e);
      c->failed = true;
    }
    it.entry = ReadState();
    Replay(it.calls);
    it.exit = ReadState();
  }

  // Areas that are drawn the same way as last frame are worth a copy.
  const GlState after = ReadState();
  const int copiedBefore = gStats.copied;
  for (Cluster& c : clusters) {
    if (!c.isolated || c.drawnFromCache) continue;
    bool steady = true;
    for (int i : c.items) {
      const Item& it = gItems[static_cast<size_t>(i)];
      const Item* p = PreviousItem(it);
      steady = steady && p != nullptr && p->calls == it.calls && p->beneath == it.beneath;
    }
    if (steady) CopyOut(c);
  }
  if (gStats.copied != copiedBefore) WriteState(after);
  std::swap(gItems, gPrevious);
  gPreviousCount = gItemCount;
  // The recordings now live in gPrevious; gItems keeps last frame's
  // buffers for reuse.
  if (gItems.size() < gPrevious.size()) gItems.resize(gPrevious.size());
  gItemCount = 0;
  gCleared = false;
}

void ReleaseLayerCache() {
  for (CacheEntry& e : gCache) DeleteEntry(e);
  gCache.clear();
  if (gSentinel != 0) glDeleteTextures(1, &gSentinel);
  gSentinel = 0;
  gPreviousCount = 0;
}

LayerStats LastLayerStats() {
  return gStats;
}
