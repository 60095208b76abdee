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

bool operator==(const Drawn& a, const Drawn& b) {
  return a.content == b.content && a.area.x0 == b.area.x0 && a.area.y0 == b.area.y0 &&
         a.area.x1 == b.area.x1 && a.area.y1 == b.area.y1;
}
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
  // What its cluster was drawn over: the drawing set-up and the draws.
  uint64_t setup = 0;
  std::vector<Drawn> under;
};

struct Cluster {
  Rects area;
  std::vector<int> items;
  bool isolated = false;
  uint64_t setup = 0;        // how the view maps and fragments are written
  std::vector<Drawn> under;  // what was drawn under it before the layer
  int entry = -1;            // cache entry whose picture may stand for it
  Rect patch;                // where the entry's picture is drawn anew
  bool drawnFromCache = false;
  bool failed = false;  // a member's state did not match: replayed
};

struct CacheEntry {
  std::vector<const void*> identities;
  std::vector<int> kinds;
  std::vector<std::vector<uint8_t>> calls;
  std::vector<GlState> entry, exit;
  uint64_t setup = 0;
  std::vector<Drawn> under;
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

Rect Intersection(const Rect& a, const Rect& b) {
  return Rect{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1),
              std::min(a.y1, b.y1)};
}

int64_t AreaOf(const Rects& rects) {
  int64_t total = 0;
  for (const Rect& r : rects) total += AreaOf(r);
  return total;
}

// Where two lists of draws under an area can leave different pixels: a
// pixel that only draws found in both lists, in the same order, cover is
// the same in both.  The draws are matched in order (a longest common
// subsequence) and the box around the rest, within the area, is the
// answer; `*small` says it is small enough to draw anew instead of the
// whole area (half of it at most).
constexpr size_t kMaxMatched = 64;

Rect ChangedUnder(const std::vector<Drawn>& was, const std::vector<Drawn>& now, const Rects& area,
                  bool* small) {
  *small = false;
  if (was == now) {
    *small = true;
    return Rect{};
  }
  const size_t n = was.size(), m = now.size();
  if (n > kMaxMatched || m > kMaxMatched) return Rect{};
  // lcs[i][j]: the longest match of was[i..] and now[j..].
  std::vector<uint8_t> lcs((n + 1) * (m + 1), 0);
  const auto at = [m](size_t i, size_t j) { return i * (m + 1) + j; };
  for (size_t i = n; i-- > 0;) {
    for (size_t j = m; j-- > 0;) {
      lcs[at(i, j)] = was[i] == now[j] ? static_cast<uint8_t>(lcs[at(i + 1, j + 1)] + 1)
                                       : std::max(lcs[at(i + 1, j)], lcs[at(i, j + 1)]);
    }
  }
  Rect box;
  const auto changed = [&](const Rect& r) {
    for (const Rect& a : area) box = Union(box, Intersection(r, a));
  };
  size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && was[i] == now[j]) {
      ++i;
      ++j;
    } else if (j == m || (i < n && lcs[at(i + 1, j)] >= lcs[at(i, j + 1)])) {
      changed(was[i++].area);
    } else {
      changed(now[j++].area);
    }
  }
  *small = !box.Empty() && 2 * AreaOf(box) <= AreaOf(area);
  return box;
}

// The entry made for exactly these items, in this order and this area,
// over the same draws or over draws that changed in a small part of it
// (`*patch` then holds that part).
int FindEntry(const Cluster& c, Rect* patch) {
  for (size_t e = 0; e < gCache.size(); ++e) {
    const CacheEntry& ce = gCache[e];
    if (ce.identities.size() != c.items.size() || !SameRects(ce.area, c.area) ||
        ce.setup != c.setup)
      continue;
    bool same = true;
    for (size_t k = 0; k < c.items.size() && same; ++k) {
      const Item& it = gItems[static_cast<size_t>(c.items[k])];
      same = ce.identities[k] == it.identity && ce.kinds[k] == it.kind && ce.calls[k] == it.calls;
    }
    if (!same) continue;
    bool small = false;
    *patch = ChangedUnder(ce.under, c.under, c.area, &small);
    if (small) return static_cast<int>(e);
  }
  *patch = Rect{};
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

// The part `p` of the picture copied from the rectangle `a`.
void DrawCopyPart(const Rect& a, const Rect& p, int texW, int texH) {
  if (p.Empty()) return;
  const float tw = static_cast<float>(texW), th = static_cast<float>(texH);
  const float u0 = static_cast<float>(p.x0 - a.x0) / tw, u1 = static_cast<float>(p.x1 - a.x0) / tw;
  const float v0 = static_cast<float>(p.y0 - a.y0) / th, v1 = static_cast<float>(p.y1 - a.y0) / th;
  const float x0 = static_cast<float>(p.x0), y0 = static_cast<float>(p.y0);
  const float x1 = static_cast<float>(p.x1), y1 = static_cast<float>(p.y1);
  glBegin(GL_QUADS);
  glTexCoord2f(u0, v0);
  glVertex2f(x0, y0);
  glTexCoord2f(u1, v0);
  glVertex2f(x1, y0);
  glTexCoord2f(u1, v1);
  glVertex2f(x1, y1);
  glTexCoord2f(u0, v1);
  glVertex2f(x0, y1);
  glEnd();
}

// Draws the copied pictures of a cluster, exactly over its rectangles but
// for the part `patch`.
void DrawCopy(const CacheEntry& e, const Rect& patch) {
  glDisable(GL_BLEND);
  glDisable(GL_SCISSOR_TEST);
  glEnable(GL_TEXTURE_2D);
  glColor4f(1, 1, 1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  for (size_t k = 0; k < e.area.size() && k < e.textures.size(); ++k) {
    const Rect& a = e.area[k];
    glBindTexture(GL_TEXTURE_2D, e.textures[k]);
    if (!Overlap(a, patch)) {
      DrawCopyPart(a, a, e.texW[k], e.texH[k]);
      continue;
    }
    // What lies below, above, left and right of the patch.
    const Rect p = Intersection(a, patch);
    DrawCopyPart(a, Rect{a.x0, a.y0, a.x1, p.y0}, e.texW[k], e.texH[k]);
    DrawCopyPart(a, Rect{a.x0, p.y1, a.x1, a.y1}, e.texW[k], e.texH[k]);
    DrawCopyPart(a, Rect{a.x0, p.y0, p.x0, p.y1}, e.texW[k], e.texH[k]);
    DrawCopyPart(a, Rect{p.x1, p.y0, a.x1, p.y1}, e.texW[k], e.texH[k]);
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
      // Blue-green-red, as the screen: the copy goes in and comes out unconverted.
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, tw, th, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, nullptr);
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
  e.setup = c.setup;
  e.under = c.under;
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
    c.setup = setup;
    c.under.clear();
    for (const Drawn& d : gDrawn) {
      if (!Overlap(c.area, d.area)) continue;
      if (d.content == 0) c.isolated = false;
      c.under.push_back(d);
    }
    for (int i : c.items) {
      Item& it = gItems[static_cast<size_t>(i)];
      it.setup = setup;
      it.under = c.under;
    }
    if (c.isolated) {
      c.entry = FindEntry(c, &c.patch);
      if (c.entry >= 0 &&
          gCache[static_cast<size_t>(c.entry)].textureGeneration != TextureGeneration())
        c.entry = -1;
    }
  }
  return clusters;
}

// While a copy is patched, what the calls draw is cut to the patch: the
// scissor they ask for is met with it, and with no scissor asked for the
// patch is the scissor.
bool gClipOn = false;
Rect gClip;
bool gAskOn = false;
Rect gAsk;

void ApplyClip() {
  const Rect r = gAskOn ? Intersection(gAsk, gClip) : gClip;
  glEnable(GL_SCISSOR_TEST);
  if (r.Empty())
    glScissor(0, 0, 0, 0);
  else
    glScissor(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0);
}

// The members of a cluster drawn from its copy but for `patch`, drawn
// again inside the patch alone, each from the state it met when the
// picture was taken; the state is then the last one's exit.
void ReplayPatched(const Cluster& c, const CacheEntry& e, const Rect& patch) {
  for (size_t k = 0; k < c.items.size(); ++k) {
    const GlState& s = e.entry[k];
    WriteState(s);
    gClipOn = true;
    gClip = patch;
    gAskOn = s.scissorOn != 0;
    gAsk = Rect{s.scissor[0], s.scissor[1], s.scissor[0] + std::max(s.scissor[2], 0),
                s.scissor[1] + std::max(s.scissor[3], 0)};
    ApplyClip();
    Replay(gItems[static_cast<size_t>(c.items[k])].calls);
    gClipOn = false;
  }
  WriteState(e.exit.back());
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

void ApplyScissor(int x, int y, int w, int h) {
  if (!gClipOn) {
    glScissor(x, y, w, h);
    return;
  }
  gAsk = Rect{x, y, x + std::max(w, 0), y + std::max(h, 0)};
  ApplyClip();
}

void ApplyScissorTest(int on) {
  if (!gClipOn) {
    if (on)
      glEnable(GL_SCISSOR_TEST);
    else
      glDisable(GL_SCISSOR_TEST);
    return;
  }
  gAskOn = on != 0;
  ApplyClip();
}

void SetStraightDrawing(int on) {
  gStraight = on != 0 ? 1 : 0;
}

int StraightDrawing() {
  return gStraight;
}

namespace {
bool gProbing = false;
uint64_t gProbeHash = 0;

void FoldCall(ReplayFn replay, const void* args, size_t size) {
  gProbeHash = HashBytes(&replay, sizeof replay, gProbeHash);
  gProbeHash = HashBytes(&size, sizeof size, gProbeHash);
  if (size > 0) gProbeHash = HashBytes(args, size, gProbeHash);
}
}  // namespace

void BeginDrawProbe() {
  gProbing = true;
  gProbeHash = 0x9e3779b97f4a7c15ull;
}

uint64_t EndDrawProbe() {
  gProbing = false;
  return gProbeHash;
}

bool DrawProbing() {
  return gProbing;
}

void FoldIntoProbe(const void* data, size_t size) {
  if (gProbing) gProbeHash = HashBytes(data, size, gProbeHash);
}

bool DrawRecording() {
  return gCurrentItem >= 0 || gProbing;
}

void RecordDraw(ReplayFn replay, const void* args, size_t size, float x0, float y0, float x1,
                float y1) {
  if (gProbing) {
    FoldCall(replay, args, size);
    return;
  }
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
  if (gProbing) {
    FoldCall(replay, args, size);
    return;
  }
  if (gCurrentItem >= 0) AppendCall(replay, args, size);
}

void RecordScissor(int x, int y, int w, int h) {
  if (gProbing) return;
  gScissor.x0 = static_cast<float>(x);
  gScissor.y0 = static_cast<float>(y);
  gScissor.x1 = static_cast<float>(x) + static_cast<float>(std::max(w, 0));
  gScissor.y1 = static_cast<float>(y) + static_cast<float>(std::max(h, 0));
}

void RecordScissorTest(int on) {
  if (gProbing) return;
  gScissor.on = on != 0;
}

void NoteScreenCleared() {
  if (gProbing) return;
  gDrawn.clear();
  gCleared = true;
  gDrawnOverflow = false;
}

namespace {
// content 0: what was drawn there is not known.
void Note(float x0, float y0, float x1, float y1, uint64_t content) {
  if (gReplaying || gLayerOpen || gProbing) return;
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
  if (gStraight || gProbing) return;  // everything is drawn (or probed) as it is asked for
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
          DrawCopy(e, c->patch);
          if (!c->patch.Empty()) {
            ReplayPatched(*c, e, c->patch);
            gStats.patched += static_cast<int>(c->items.size());
          }
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
    // Draws that change under a small part of it leave the rest standing:
    // that part will be drawn anew over the copy.
    bool steady = true;
    for (int i : c.items) {
      const Item& it = gItems[static_cast<size_t>(i)];
      const Item* p = PreviousItem(it);
      bool small = false;
      steady = steady && p != nullptr && p->calls == it.calls && p->setup == it.setup;
      if (steady) ChangedUnder(p->under, it.under, c.area, &small);
      steady = steady && small;
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
