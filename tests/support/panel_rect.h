// Checking a panel's rectangle in window pixels.
#pragma once

#include <gtest/gtest.h>

#include "ui/panel_tree.h"

struct Rect4 {
  int x, y, w, h;
};

inline void ExpectRect(const Panel* p, Rect4 want) {
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->x, want.x);
  EXPECT_EQ(p->y, want.y);
  EXPECT_EQ(p->w, want.w);
  EXPECT_EQ(p->h, want.h);
}
