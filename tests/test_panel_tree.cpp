// Placement, grids, clones and the mouse pass of the panel tree.
#include <gtest/gtest.h>

#include <vector>

#include "support/panel_rect.h"
#include "ui/panel_tree.h"

namespace {

class PanelTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleasePanelTree();
    SetRootPanel(800, 600);
  }
  void TearDown() override {
    SetMouseInWindowOverride(0, 0, 0);
    ReleasePanelTree();
  }

  // A visible parent at (10, 20), 200 x 100.
  Panel* Parent() {
    Panel* p = CreatePanel(nullptr, nullptr, nullptr, 0, 0, 0.25f, 0.25f, 7, 0);
    p->x = 10;
    p->y = 20;
    p->w = 200;
    p->h = 100;
    p->visible = 1;
    return p;
  }
};

TEST_F(PanelTreeTest, RootCoversTheWindow) {
  EXPECT_EQ(gRootPanel.x, 0);
  EXPECT_EQ(gRootPanel.y, 0);
  EXPECT_EQ(gRootPanel.w, 800);
  EXPECT_EQ(gRootPanel.h, 600);
  EXPECT_EQ(gRootPanel.visible, 1);
  EXPECT_EQ(gRootPanel.parent, nullptr);
}

TEST_F(PanelTreeTest, NewPanelStartsHiddenUnderItsParent) {
  Panel* top = CreatePanel(nullptr, nullptr, nullptr, 0.1f, 0.1f, 0.5f, 0.5f, 7, 0);
  EXPECT_EQ(top->parent, &gRootPanel);
  EXPECT_EQ(top->visible, 0);
  EXPECT_EQ(top->tag, 0);
  EXPECT_EQ(top->hovered, 0);
  ASSERT_EQ(gRootPanel.children.size(), 1u);
  EXPECT_EQ(gRootPanel.children[0], top);
  ExpectRect(top, {80, 60, 400, 300});
}

TEST_F(PanelTreeTest, WorkedExampleAnchorSevenWithOffsets) {
  Panel* child = CreatePanel(Parent(), nullptr, nullptr, 0.25f, 0.25f, 0.5f, 0.5f, 7, 1);
  ExpectRect(child, {60, 45, 100, 50});
  EXPECT_EQ(child->anchor, 7);
}

TEST_F(PanelTreeTest, EveryAnchorCode) {
  struct Case {
    int anchor;
    int storedAs;
    int x, y;
  };
  // A 100 x 50 child of the (10, 20, 200, 100) parent, no offsets.
  const Case cases[] = {
      {0, 0, 60, 45},   {12, 12, 60, 70}, {1, 1, 110, 70},  {3, 3, 110, 45},  {5, 5, 110, 20},
      {6, 6, 60, 20},   {7, 7, 10, 20},   {9, 9, 10, 45},   {11, 11, 10, 70}, {25, 25, 60, 45},
      {45, 45, 60, 45}, {65, 65, 60, 45}, {85, 85, 60, 45}, {2, 0, 60, 45},   {4, 0, 60, 45},
      {8, 0, 60, 45},   {10, 0, 60, 45},  {13, 0, 60, 45},  {-1, 0, 60, 45},  {100, 0, 60, 45},
  };
  Panel* parent = Parent();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.anchor);
    Panel* p = CreatePanel(parent, nullptr, nullptr, 0, 0, 0.5f, 0.5f, c.anchor, 1);
    EXPECT_EQ(p->anchor, c.storedAs);
    ExpectRect(p, {c.x, c.y, 100, 50});
  }
}

TEST_F(PanelTreeTest, NegativeFractionsAndReferenceSize) {
  Panel* parent = Parent();
  // Negative sizes count as positive; a negative offset moves down and left.
  Panel* a = CreatePanel(parent, nullptr, nullptr, -0.1f, -0.2f, -0.2f, -0.3f, 7, 1);
  ExpectRect(a, {-10, 0, 40, 30});
  Panel* b = CreatePanel(parent, nullptr, nullptr, 0, 0, 0.2f, 0.3f, 7, 1);
  EXPECT_EQ(b->w, a->w);
  EXPECT_EQ(b->h, a->h);
  // relative = 0: sizes and offsets are fractions of the window, the base is
  // still the parent.
  Panel* c = CreatePanel(parent, nullptr, nullptr, 0.01f, 0.02f, 0.1f, 0.1f, 7, 0);
  ExpectRect(c, {18, 32, 80, 60});
}

TEST_F(PanelTreeTest, CornersTruncateTowardZero) {
  Panel* parent = Parent();
  parent->x = -480;
  parent->w = 201;
  parent->y = -300;
  parent->h = 101;
  // Centre -379.5, half width 50: -429.5 becomes -429, not -430.
  Panel* p = CreatePanel(parent, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 0, 1);
  ExpectRect(p, {-429, -274, 100, 50});
}

TEST_F(PanelTreeTest, TagsReachTheSubtreeOnlyWhenRecursive) {
  Panel* parent = Parent();
  Panel* child = CreatePanel(parent, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
  Panel* grandchild = CreatePanel(child, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
  SetPanelTag(parent, 4, 0);
  EXPECT_EQ(parent->tag, 4);
  EXPECT_EQ(child->tag, 0);
  SetPanelTag(parent, 9, 1);
  EXPECT_EQ(child->tag, 9);
  EXPECT_EQ(grandchild->tag, 9);
}

TEST_F(PanelTreeTest, DescendingColumnGrid) {
  Panel* parent = Parent();
  Panel* p = CreatePanel(parent, nullptr, nullptr, 0, 0, 0.6f, 0.1f, 11, 1);
  ASSERT_EQ(p->h, 10);
  MakePanelGrid(p, 1, 9, 8, 1);
  ASSERT_EQ(parent->children.size(), 9u);
  EXPECT_EQ(parent->children[0], p);
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    const Panel* c = parent->children[static_cast<size_t>(i)];
    EXPECT_EQ(c->tag, 8 - i);
    ExpectRect(c, {10, 110 - 10 * i, 120, 10});
    EXPECT_EQ(c->parent, parent);
  }
}

TEST_F(PanelTreeTest, AscendingElevenByThreeGridWithChildren) {
  Panel* parent = Parent();
  Panel* p = CreatePanel(parent, nullptr, nullptr, 0, 0, 1.0f / 11.0f, 1.0f / 3.0f, 11, 1);
  ASSERT_EQ(p->w, 18);
  ASSERT_EQ(p->h, 33);
  Panel* inner = CreatePanel(p, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
  inner->tag = 77;
  MakePanelGrid(p, 11, 3, 1, 0);
  ASSERT_EQ(parent->children.size(), 33u);
  EXPECT_EQ(p->tag, 1);
  EXPECT_EQ(inner->tag, 77) << "the first cell's own tag is set without recursion";
  for (int t = 1; t <= 33; ++t) {
    SCOPED_TRACE(t);
    const Panel* c = parent->children[static_cast<size_t>(t - 1)];
    const int col = (t - 1) % 11, row = (t - 1) / 11;
    EXPECT_EQ(c->tag, t);
    ExpectRect(c, {10 + 18 * col, 87 - 33 * row, 18, 33});
    ASSERT_EQ(c->children.size(), 1u);
    const Panel* copy = c->children[0];
    EXPECT_EQ(copy->parent, c);
    ExpectRect(copy, {c->x, c->y, 9, 16});
    if (t > 1) {
      EXPECT_EQ(copy->tag, t) << "copies are tagged with their subtree";
    }
  }
}

void Mark(Panel* p) {
  p->lastEvent += 1000;
}

TEST_F(PanelTreeTest, ClonesAreDeepCopiesAppendedAfter) {
  Panel* parent = Parent();
  Panel* src = CreatePanel(parent, Mark, Mark, 0, 0, 0.2f, 0.3f, 5, 1);
  src->visible = 1;
  src->tag = 3;
  src->hovered = 1;
  src->lastEvent = 6;
  Panel* kid = CreatePanel(src, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
  kid->visible = 1;
  kid->tag = 5;
  Panel* grandkid = CreatePanel(kid, nullptr, nullptr, 0, 0, 0.5f, 0.5f, 7, 1);
  src->children.push_back(nullptr);  // a null entry is skipped
  Panel* other = CreatePanel(parent, nullptr, nullptr, 0, 0, 0.1f, 0.1f, 7, 1);

  Panel* right = ClonePanelRight(src);
  Panel* below = ClonePanelBelow(src);
  ASSERT_NE(right, nullptr);
  ASSERT_NE(below, nullptr);
  ASSERT_EQ(parent->children.size(), 4u);
  EXPECT_EQ(parent->children[1], other);
  EXPECT_EQ(parent->children[2], right);
  EXPECT_EQ(parent->children[3], below);

  struct Case {
    Panel* copy;
    int dx, dy;
  };
  for (const Case& c : {Case{right, src->w, 0}, Case{below, 0, -src->h}}) {
    ExpectRect(c.copy, {src->x + c.dx, src->y + c.dy, src->w, src->h});
    EXPECT_EQ(c.copy->parent, parent);
    EXPECT_EQ(c.copy->anchor, 5);
    EXPECT_EQ(c.copy->tag, 3);
    EXPECT_EQ(c.copy->visible, 1);
    EXPECT_EQ(c.copy->hovered, 1);
    EXPECT_EQ(c.copy->lastEvent, 6);
    EXPECT_EQ(c.copy->draw, &Mark);
    EXPECT_EQ(c.copy->action, &Mark);
    ASSERT_EQ(c.copy->children.size(), 1u);
    Panel* k = c.copy->children[0];
    EXPECT_NE(k, kid);
    EXPECT_EQ(k->parent, c.copy);
    EXPECT_EQ(k->tag, 5);
    ExpectRect(k, {kid->x + c.dx, kid->y + c.dy, kid->w, kid->h});
    ASSERT_EQ(k->children.size(), 1u);
    EXPECT_NE(k->children[0], grandkid);
    ExpectRect(k->children[0], {grandkid->x + c.dx, grandkid->y + c.dy, grandkid->w, grandkid->h});
  }
  // The source is left as it was.
  EXPECT_EQ(src->children.size(), 2u);
  src->children.pop_back();
}

TEST_F(PanelTreeTest, CloneNeedsAParent) {
  EXPECT_EQ(ClonePanelRight(&gRootPanel), nullptr);
  EXPECT_EQ(ClonePanelBelow(&gRootPanel), nullptr);
  EXPECT_EQ(ClonePanelRight(nullptr), nullptr);
  EXPECT_EQ(gRootPanel.children.size(), 0u);
}

TEST(PointInRect, BoundsAreInclusive) {
  struct Case {
    int px, py;
    bool in;
  };
  const Case cases[] = {{10, 20, true},  {30, 60, true}, {30, 20, true},  {10, 60, true},
                        {20, 40, true},  {9, 40, false}, {31, 40, false}, {20, 19, false},
                        {20, 61, false}, {31, 61, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(PointInRect(c.px, c.py, 10, 20, 20, 40), c.in) << c.px << "," << c.py;
  }
}

// ------------------------------------------------------------ mouse pass

std::vector<Panel*> gActed;
void Act(Panel* p) {
  gActed.push_back(p);
}

class MousePassTest : public PanelTreeTest {
 protected:
  Panel* Visible(Panel* parent, float fx, float fy, float fw, float fh) {
    Panel* p = CreatePanel(parent, nullptr, nullptr, fx, fy, fw, fh, 7, 0);
    p->visible = 1;
    return p;
  }
  void PassAt(int x, int y, int event = 0) {
    SetMouseInWindowOverride(1, x, y);
    PanelMousePass(event);
  }
  void SetUp() override {
    PanelTreeTest::SetUp();
    gActed.clear();
  }
};

TEST_F(MousePassTest, OverrideIsTheMousePosition) {
  SetMouseInWindowOverride(1, 123, 456);
  int x = 0, y = 0;
  GetMouseInWindow(&x, &y);
  EXPECT_EQ(x, 123);
  EXPECT_EQ(y, 456);
}

TEST_F(MousePassTest, LaterSiblingWins) {
  Panel* first = Visible(nullptr, 0.1f, 0.1f, 0.3f, 0.3f);   // 80..320 x 60..240
  Panel* second = Visible(nullptr, 0.2f, 0.2f, 0.3f, 0.3f);  // 160..400 x 120..300
  PassAt(200, 200);
  EXPECT_EQ(second->hovered, 1);
  EXPECT_EQ(first->hovered, 0);
  EXPECT_EQ(gRootPanel.hovered, 0);
  PassAt(100, 100);  // only the first holds this point
  EXPECT_EQ(first->hovered, 1);
  EXPECT_EQ(second->hovered, 0);
  PassAt(700, 500);  // nothing but the root
  EXPECT_EQ(first->hovered, 0);
  EXPECT_EQ(second->hovered, 0);
  EXPECT_EQ(gRootPanel.hovered, 1);
}

TEST_F(MousePassTest, ParentCoveredByChildIsNotMarked) {
  Panel* parent = Visible(nullptr, 0.1f, 0.1f, 0.5f, 0.5f);  // 80..480 x 60..360
  Panel* child = Visible(parent, 0.1f, 0.1f, 0.1f, 0.1f);    // 160..240 x 120..180
  PassAt(200, 150);
  EXPECT_EQ(child->hovered, 1);
  EXPECT_EQ(parent->hovered, 0);
  PassAt(400, 300);
  EXPECT_EQ(parent->hovered, 1);
  EXPECT_EQ(child->hovered, 0);
}

TEST_F(MousePassTest, HiddenSubtreeIsSkipped) {
  Panel* under = Visible(nullptr, 0.2f, 0.2f, 0.05f, 0.05f);  // 160..200 x 120..150
  Panel* hidden = Visible(nullptr, 0.1f, 0.1f, 0.5f, 0.5f);   // 80..480 x 60..360
  Panel* child = Visible(hidden, 0.1f, 0.1f, 0.1f, 0.1f);     // 160..240 x 120..180
  hidden->children.push_back(nullptr);                        // skipped, never followed
  hidden->visible = 0;
  // The hidden panel and its visible child take nothing: the earlier sibling
  // beneath them gets the point.
  PassAt(170, 130);
  EXPECT_EQ(under->hovered, 1);
  EXPECT_EQ(child->hovered, 0);
  EXPECT_EQ(hidden->hovered, 0);
  // Where nothing visible lies, the hidden rectangle still covers the root.
  PassAt(220, 170);
  EXPECT_EQ(child->hovered, 0);
  EXPECT_EQ(gRootPanel.hovered, 0);
  hidden->visible = 1;
  PassAt(220, 170);
  EXPECT_EQ(child->hovered, 1);
  hidden->children.pop_back();
}

TEST_F(MousePassTest, EdgesHit) {
  Panel* p = Visible(nullptr, 0.1f, 0.1f, 0.1f, 0.1f);  // 80..160 x 60..120
  struct Case {
    int x, y;
    int hovered;
  };
  const Case cases[] = {{160, 120, 1}, {80, 60, 1}, {161, 120, 0}, {160, 121, 0}, {79, 60, 0}};
  for (const Case& c : cases) {
    PassAt(c.x, c.y);
    EXPECT_EQ(p->hovered, c.hovered) << c.x << "," << c.y;
    EXPECT_EQ(HitTestPanel(p, false), c.hovered == 1);
  }
}

TEST_F(MousePassTest, ActionGetsTheEvent) {
  Panel* p = Visible(nullptr, 0.1f, 0.1f, 0.1f, 0.1f);
  p->action = Act;
  PassAt(100, 100, 3);
  ASSERT_EQ(gActed.size(), 1u);
  EXPECT_EQ(gActed[0], p);
  EXPECT_EQ(p->lastEvent, 3);
  PassAt(100, 100, 0);  // a hit without an event
  EXPECT_EQ(gActed.size(), 1u);
  EXPECT_EQ(p->lastEvent, 0);
  p->action = nullptr;
  PassAt(100, 100, 5);  // no action: no event kept
  EXPECT_EQ(p->lastEvent, 0);
  EXPECT_EQ(p->hovered, 1);
}

TEST_F(MousePassTest, AsChildIgnoresTheChildren) {
  Panel* parent = Visible(nullptr, 0.1f, 0.1f, 0.5f, 0.5f);
  Visible(parent, 0.1f, 0.1f, 0.1f, 0.1f);
  SetMouseInWindowOverride(1, 200, 150);
  EXPECT_FALSE(HitTestPanel(parent, false));
  EXPECT_TRUE(HitTestPanel(parent, true));
  EXPECT_FALSE(HitTestPanel(nullptr, true));
}

}  // namespace
