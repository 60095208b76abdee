// The platform layer: key codes, typed characters, the message pump, the
// replaceable clock and boxes, files, the cursor count and the GL test
// context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <functional>
#include <vector>

#include "base/text.h"
#include "platform/platform.h"

namespace {

// ------------------------------------------------------------- key codes

struct KeyCase {
  const char* name;
  uint32_t vk;
};

const KeyCase kKeyCases[] = {
    {"A", 'A'},
    {"Z", 'Z'},
    {"M", 'M'},
    {"0", '0'},
    {"9", '9'},
    {"Left", VK_LEFT},
    {"Right", VK_RIGHT},
    {"Up", VK_UP},
    {"Down", VK_DOWN},
    {"Space", VK_SPACE},
    {"Return", VK_RETURN},
    {"Escape", VK_ESCAPE},
    {"Backspace", VK_BACK},
    {"Tab", VK_TAB},
    {"Home", VK_HOME},
    {"End", VK_END},
    {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},
    {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT},
    {"F1", VK_F1},
    {"F2", VK_F2},
    {"F10", VK_F10},
    {"F12", 0x7B},
    {"Left Shift", VK_SHIFT},
    {"Right Shift", VK_SHIFT},
    {"Left Ctrl", VK_CONTROL},
    {"Right Ctrl", VK_CONTROL},
    {"Left Alt", VK_MENU},
    {"Right Alt", VK_MENU},
    {"Keypad 0", VK_NUMPAD0},
    {"Keypad 5", VK_NUMPAD0 + 5},
    {"Keypad 9", VK_NUMPAD0 + 9},
    {"Keypad *", VK_MULTIPLY},
    {"Keypad +", VK_ADD},
    {"Keypad -", VK_SUBTRACT},
    {"Keypad .", VK_DECIMAL},
    {"Keypad /", VK_DIVIDE},
    {"Keypad Enter", VK_RETURN},
};

TEST(KeyMapping, NamedKeysGiveTheirVirtualKeyCodes) {
  for (const KeyCase& c : kKeyCases) {
    EXPECT_EQ(VirtualKeyFromKeyName(c.name), c.vk) << c.name;
  }
}

TEST(KeyMapping, EveryLetterAndDigitMapsToItsCapital) {
  for (char c = 'A'; c <= 'Z'; ++c) {
    const char name[2] = {c, 0};
    EXPECT_EQ(VirtualKeyFromKeyName(name), static_cast<uint32_t>(c)) << name;
  }
  for (char c = '0'; c <= '9'; ++c) {
    const char name[2] = {c, 0};
    EXPECT_EQ(VirtualKeyFromKeyName(name), static_cast<uint32_t>(c)) << name;
  }
}

TEST(KeyMapping, EveryCodeFitsTheKeyTableAndUnknownNamesGiveNothing) {
  for (const KeyCase& c : kKeyCases) EXPECT_LT(VirtualKeyFromKeyName(c.name), 256u);
  EXPECT_EQ(VirtualKeyFromKeyName("no such key"), 0u);
  EXPECT_EQ(VirtualKeyFromKeyName(""), 0u);
  EXPECT_EQ(VirtualKeyFromKeyName(nullptr), 0u);
}

// ------------------------------------------------------- typed characters

struct TextCase {
  const char* typed;     // UTF-8
  std::string expected;  // Windows-1251
};

TEST(CharTranslation, TypedTextBecomesWindows1251Bytes) {
  const TextCase cases[] = {
      {"a", "a"},
      {"Zz9#$%'", "Zz9#$%'"},
      {"Ж", "\xC6"},
      {"жорб", "\xE6\xEE\xF0\xE1"},
      {"Ёё", "\xA8\xB8"},
      {"№", "\xB9"},
      {"€", "\x88"},
      {"ЯA",
       "\xDF"
       "A"},
      // Characters the code page lacks are dropped, the rest kept in order.
      {"a\xE4\xB8\xAD"
       "b",
       "ab"},                    // a, CJK, b
      {"\xF0\x9F\x98\x80", ""},  // an emoji
      {"é", ""},
      // Control characters come from keys, never from text.
      {"\t\r\x1B\x7F", ""},
      // Malformed UTF-8 is dropped byte by byte.
      {"\xFF\xC3x", "x"},
      {"", ""},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(TypedTextToCp1251(c.typed), c.expected) << c.typed;
  }
  EXPECT_EQ(TypedTextToCp1251(nullptr), "");
}

// ------------------------------------------------------------ the pump

std::vector<Msg> DrainMessages() {
  std::vector<Msg> out;
  Msg m{};
  while (PeekMessage(&m)) out.push_back(m);
  return out;
}

class Pump : public ::testing::Test {
 protected:
  void SetUp() override { DrainMessages(); }
  void Post(TestInputKind kind, const char* text = nullptr, int value = 0) {
    ASSERT_EQ(PostTestInput(kind, text, value), 1) << kind;
  }
};

std::string Describe(const std::vector<Msg>& msgs) {
  std::string s;
  char buf[64];
  for (const Msg& m : msgs) {
    std::snprintf(buf, sizeof buf, "(%#x %#lx) ", m.message, static_cast<unsigned long>(m.wParam));
    s += buf;
  }
  return s;
}

TEST_F(Pump, KeysArriveAsVirtualKeyMessagesWithRepeats) {
  Post(TestKeyDown, "A");
  Post(TestKeyRepeat, "A");
  Post(TestKeyRepeat, "A");
  Post(TestKeyUp, "A");
  Post(TestKeyDown, "Keypad 7");
  const auto msgs = DrainMessages();
  ASSERT_EQ(msgs.size(), 5u) << Describe(msgs);
  const uint32_t kinds[] = {WM_KEYDOWN, WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN};
  const uint32_t codes[] = {'A', 'A', 'A', 'A', VK_NUMPAD0 + 7};
  for (size_t i = 0; i < msgs.size(); ++i) {
    EXPECT_EQ(msgs[i].message, kinds[i]) << i;
    EXPECT_EQ(msgs[i].wParam, codes[i]) << i;
  }
  // Bit 30 holds the previous state: clear on the first press only.
  EXPECT_EQ(msgs[0].lParam & (1L << 30), 0);
  EXPECT_NE(msgs[1].lParam & (1L << 30), 0);
}

TEST_F(Pump, EditingKeysAlsoGiveTheirControlCharacters) {
  struct Case {
    const char* key;
    uint32_t vk;
    uintptr_t ch;
  };
  const Case cases[] = {{"Backspace", VK_BACK, 8},
                        {"Tab", VK_TAB, 9},
                        {"Return", VK_RETURN, 13},
                        {"Keypad Enter", VK_RETURN, 13},
                        {"Escape", VK_ESCAPE, 27}};
  for (const Case& c : cases) {
    Post(TestKeyDown, c.key);
    Post(TestKeyRepeat, c.key);
    Post(TestKeyUp, c.key);
    const auto msgs = DrainMessages();
    ASSERT_EQ(msgs.size(), 5u) << c.key << ": " << Describe(msgs);
    EXPECT_EQ(msgs[0].message, WM_KEYDOWN);
    EXPECT_EQ(msgs[0].wParam, c.vk);
    EXPECT_EQ(msgs[1].message, WM_CHAR);
    EXPECT_EQ(msgs[1].wParam, c.ch);
    EXPECT_EQ(msgs[2].message, WM_KEYDOWN);
    EXPECT_EQ(msgs[3].message, WM_CHAR) << "auto-repeat repeats the character";
    EXPECT_EQ(msgs[3].wParam, c.ch);
    EXPECT_EQ(msgs[4].message, WM_KEYUP);
  }
}

TEST_F(Pump, TypedTextGivesOneCharMessagePerCharacter) {
  Post(TestText, "Яa€\xE4\xB8\xAD");  // the CJK character has no byte
  const auto msgs = DrainMessages();
  ASSERT_EQ(msgs.size(), 3u) << Describe(msgs);
  const uintptr_t expected[] = {0xDF, 'a', 0x88};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(msgs[i].message, WM_CHAR);
    EXPECT_EQ(msgs[i].wParam, expected[i]);
  }
}

TEST_F(Pump, WheelNotchesAre120EachInTheHighWord) {
  const int notches[] = {1, -1, 3, -2};
  for (int n : notches) Post(TestWheel, nullptr, n);
  const auto msgs = DrainMessages();
  ASSERT_EQ(msgs.size(), 4u) << Describe(msgs);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(msgs[i].message, WM_MOUSEWHEEL);
    EXPECT_EQ(static_cast<int16_t>(HighWord(msgs[i].wParam)), notches[i] * 120);
  }
}

TEST_F(Pump, MouseButtons) {
  const uint32_t expected[] = {WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_MBUTTONDOWN,
                               WM_MBUTTONUP,   WM_RBUTTONDOWN, WM_RBUTTONUP};
  for (int button : {1, 2, 3}) {
    Post(TestButtonDown, nullptr, button);
    Post(TestButtonUp, nullptr, button);
  }
  Post(TestButtonDown, nullptr, 4);  // a side button: nothing
  const auto msgs = DrainMessages();
  ASSERT_EQ(msgs.size(), 6u) << Describe(msgs);
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(msgs[i].message, expected[i]) << i;
}

TEST_F(Pump, WindowStateChangesBecomeWindowMessages) {
  Post(TestFocusGained);
  Post(TestMinimised);
  Post(TestFocusLost);
  Post(TestRestored);
  Post(TestFocusGained);
  Post(TestExposed);
  Post(TestCloseRequest);
  Post(TestAltKeyDown, "F4");
  const auto msgs = DrainMessages();
  const std::vector<std::pair<uint32_t, uintptr_t>> expected = {
      {WM_ACTIVATE, WA_ACTIVE},
      {WM_SETFOCUS, 0},
      {WM_SIZE, SIZE_MINIMIZED},
      {WM_ACTIVATE, WA_INACTIVE | (1u << 16)},  // minimised: high word set
      {WM_KILLFOCUS, 0},
      {WM_SIZE, SIZE_RESTORED},
      {WM_ACTIVATE, WA_ACTIVE},
      {WM_SETFOCUS, 0},
      {WM_PAINT, 0},  // uncovered: the picture is wanted again
      {WM_CLOSE, 0},
      {WM_KEYDOWN, VK_F4},
      {WM_SYSCOMMAND, SC_CLOSE},
  };
  ASSERT_EQ(msgs.size(), expected.size()) << Describe(msgs);
  for (size_t i = 0; i < msgs.size(); ++i) {
    EXPECT_EQ(msgs[i].message, expected[i].first) << i;
    EXPECT_EQ(msgs[i].wParam, expected[i].second) << i;
  }
}

TEST_F(Pump, UnknownKeysAndBadRequestsAreRefused) {
  EXPECT_EQ(PostTestInput(TestKeyDown, "no such key", 0), 0);
  EXPECT_EQ(PostTestInput(TestKeyDown, nullptr, 0), 0);
  EXPECT_EQ(PostTestInput(TestText, nullptr, 0), 0);
  EXPECT_TRUE(DrainMessages().empty());
  EXPECT_EQ(PeekMessage(nullptr), 0);
}

// A fed message source replaces the system queue entirely.
std::vector<Msg> gFed;
int FeedMessage(Msg* out) {
  if (gFed.empty()) return 0;
  *out = gFed.front();
  gFed.erase(gFed.begin());
  return 1;
}

TEST_F(Pump, MessageSourceReplacesTheSystemQueue) {
  Post(TestKeyDown, "B");  // waits in the system queue meanwhile
  gFed = {{WM_KEYDOWN, 'Q', 0}, {WM_CLOSE, 0, 0}};
  SetMessageSource(FeedMessage);
  const auto fed = DrainMessages();
  SetMessageSource(nullptr);
  ASSERT_EQ(fed.size(), 2u);
  EXPECT_EQ(fed[0].wParam, static_cast<uintptr_t>('Q'));
  EXPECT_EQ(fed[1].message, WM_CLOSE);
  const auto real = DrainMessages();
  ASSERT_EQ(real.size(), 1u);
  EXPECT_EQ(real[0].wParam, static_cast<uintptr_t>('B'));
}

// ------------------------------------------------------------ game pads

class Gamepad : public Pump {
 protected:
  void SetUp() override {
    Pump::SetUp();
    ASSERT_EQ(AttachTestGamepad(), 1);
    DrainMessages();  // the pump opens the pad
    ASSERT_EQ(SetTestGamepadButton(TestPadY, 0), 1) << "the pad did not arrive";
  }
  void TearDown() override {
    DetachTestGamepad();
    DrainMessages();
  }
  static void Button(TestPadButton b, int down) { ASSERT_EQ(SetTestGamepadButton(b, down), 1); }
};

struct PadStep {
  const char* what;
  std::function<void()> act;
  std::vector<std::pair<uint32_t, uintptr_t>> expected;  // message, wParam
};

TEST_F(Gamepad, ButtonsAndTheStickBecomeTheKeysTheyStandFor) {
  const PadStep steps[] = {
      {"d-pad left", [] { Button(TestPadLeft, 1); }, {{WM_KEYDOWN, VK_LEFT}}},
      {"stick left as well", [] { SetTestGamepadStick(-30000); }, {}},
      {"d-pad let go, stick still left", [] { Button(TestPadLeft, 0); }, {}},
      {"stick back to the middle", [] { SetTestGamepadStick(0); }, {{WM_KEYUP, VK_LEFT}}},
      {"stick a little right: nothing", [] { SetTestGamepadStick(9000); }, {}},
      {"stick right", [] { SetTestGamepadStick(20000); }, {{WM_KEYDOWN, VK_RIGHT}}},
      {"stick eased, still past a quarter", [] { SetTestGamepadStick(10000); }, {}},
      {"stick across to the left",
       [] { SetTestGamepadStick(-20000); },
       {{WM_KEYUP, VK_RIGHT}, {WM_KEYDOWN, VK_LEFT}}},
      {"stick released", [] { SetTestGamepadStick(0); }, {{WM_KEYUP, VK_LEFT}}},
      {"A turns", [] { Button(TestPadA, 1); }, {{WM_KEYDOWN, VK_UP}}},
      {"d-pad up too", [] { Button(TestPadUp, 1); }, {}},
      {"A let go", [] { Button(TestPadA, 0); }, {}},
      {"d-pad up let go", [] { Button(TestPadUp, 0); }, {{WM_KEYUP, VK_UP}}},
      {"B drops", [] { Button(TestPadB, 1); }, {{WM_KEYDOWN, VK_DOWN}}},
      {"B up", [] { Button(TestPadB, 0); }, {{WM_KEYUP, VK_DOWN}}},
      {"d-pad down drops", [] { Button(TestPadDown, 1); }, {{WM_KEYDOWN, VK_DOWN}}},
      {"d-pad down up", [] { Button(TestPadDown, 0); }, {{WM_KEYUP, VK_DOWN}}},
      {"X is Space", [] { Button(TestPadX, 1); }, {{WM_KEYDOWN, VK_SPACE}}},
      {"X up", [] { Button(TestPadX, 0); }, {{WM_KEYUP, VK_SPACE}}},
      {"Start is Enter", [] { Button(TestPadStart, 1); }, {{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}}},
      {"Start up", [] { Button(TestPadStart, 0); }, {{WM_KEYUP, VK_RETURN}}},
      {"Y stands for nothing", [] { Button(TestPadY, 1); }, {}},
      {"one shoulder: nothing", [] { Button(TestPadLeftShoulder, 1); }, {}},
      {"both shoulders: the two-button chord",
       [] { Button(TestPadRightShoulder, 1); },
       {{WM_LBUTTONDOWN, 0}, {WM_RBUTTONDOWN, 0}}},
      {"one shoulder let go: the chord ends",
       [] { Button(TestPadLeftShoulder, 0); },
       {{WM_LBUTTONUP, 0}, {WM_RBUTTONUP, 0}}},
      {"the other shoulder up", [] { Button(TestPadRightShoulder, 0); }, {}},
      {"d-pad right held", [] { Button(TestPadRight, 1); }, {{WM_KEYDOWN, VK_RIGHT}}},
      {"pad unplugged: what it held is let go",
       [] { DetachTestGamepad(); },
       {{WM_KEYUP, VK_RIGHT}}},
  };
  for (const PadStep& step : steps) {
    step.act();
    const auto msgs = DrainMessages();
    ASSERT_EQ(msgs.size(), step.expected.size()) << step.what << ": " << Describe(msgs);
    for (size_t i = 0; i < msgs.size(); ++i) {
      EXPECT_EQ(msgs[i].message, step.expected[i].first) << step.what;
      EXPECT_EQ(msgs[i].wParam, step.expected[i].second) << step.what;
    }
  }
  // Plugged in again, it works again.
  ASSERT_EQ(AttachTestGamepad(), 1);
  DrainMessages();
  Button(TestPadLeft, 1);
  const auto again = DrainMessages();
  ASSERT_EQ(again.size(), 1u) << Describe(again);
  EXPECT_EQ(again[0].wParam, static_cast<uintptr_t>(VK_LEFT));
  Button(TestPadLeft, 0);
}

TEST(Dispatch, WithoutAWindowClassMessagesGetDefaultHandling) {
  EXPECT_EQ(DispatchMessage(Msg{WM_KEYDOWN, 'A', 0}), 0);
  EXPECT_EQ(DefWindowProc(WM_SYSCOMMAND, SC_CLOSE, 0), 0);  // no window: nothing to close
}

// ------------------------------------------------------ clock and boxes

uint32_t gFakeTick = 0;
uint32_t FakeTick() {
  return gFakeTick;
}
void FakeSleep(uint32_t ms) {
  gFakeTick += ms;
}
LocalDate FakeDate() {
  return LocalDate{29, 2, 2028};
}

TEST(Clock, TestsReplaceTickSleepAndDate) {
  gFakeTick = 0xFFFFFFF0u;
  SetTickSource(FakeTick);
  SetSleepHook(FakeSleep);
  SetDateSource(FakeDate);
  EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
  Sleep(0x20);
  EXPECT_EQ(GetTickCount(), 0x10u) << "the count wraps like GetTickCount";
  EXPECT_EQ(GetLocalDate().year, 2028);
  SetTickSource(nullptr);
  SetSleepHook(nullptr);
  SetDateSource(nullptr);

  const uint32_t before = GetTickCount();
  Sleep(20);
  const uint32_t elapsed = GetTickCount() - before;
  EXPECT_GE(elapsed, 20u);
  EXPECT_LT(elapsed, 2000u);
  const LocalDate d = GetLocalDate();
  EXPECT_GE(d.year, 2024);
  EXPECT_GE(d.month, 1);
  EXPECT_LE(d.month, 12);
  EXPECT_GE(d.day, 1);
  EXPECT_LE(d.day, 31);
}

std::string gBoxText, gBoxCaption;
uint32_t gBoxFlags = 0;
int AnswerNo(const char* text, const char* caption, uint32_t flags) {
  gBoxText = text;
  gBoxCaption = caption;
  gBoxFlags = flags;
  return IDNO;
}

TEST(MessageBoxes, TheHookSeesTheWindows1251TextAndAnswers) {
  SetMessageBoxHook(AnswerNo);
  EXPECT_EQ(MessageBox("Размер"_w, "Окно"_w, MB_YESNO), IDNO);
  SetMessageBoxHook(nullptr);
  EXPECT_EQ(gBoxText, "\xD0\xE0\xE7\xEC\xE5\xF0");
  EXPECT_EQ(gBoxCaption, "\xCE\xEA\xED\xEE");
  EXPECT_EQ(gBoxFlags, static_cast<uint32_t>(MB_YESNO));
}

// In a fresh process (video may already be up in this one, and then a real
// box would wait for an answer): without a display no box can be shown.
TEST(MessageBoxesDeathTest, WithoutAScreenTheBoxStillTellsStandardError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        unsetenv("DISPLAY");
        const int ok = MessageBox("not InitGL", "Error", MB_ICONEXCLAMATION);
        // A box nobody answered is not a Yes.
        const int yesNo = MessageBox("Да?"_w, "Q", MB_YESNO);
        std::exit(ok == IDOK && yesNo == IDNO ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "Error: not InitGL\n(.|\n)*Q: Да\\?\n");
}

// ------------------------------------------------------------------ files

class Files : public ::testing::Test {
 protected:
  std::string dir_;
  void SetUp() override {
    char tmpl[] = "/tmp/dromo-platform-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  std::string Path(const char* name) const { return dir_ + "/" + name; }
  void Write(const char* name, const char* content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
  }
  std::string Read(const char* name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(Files, MoveNeverReplacesAndDeleteReportsWhatHappened) {
  Write("a", "first");
  Write("b", "second");
  EXPECT_EQ(MoveFile(Path("a").c_str(), Path("b").c_str()), 0);
  EXPECT_EQ(Read("b"), "second");
  EXPECT_EQ(MoveFile(Path("a").c_str(), Path("c").c_str()), 1);
  EXPECT_EQ(FileExists(Path("a").c_str()), 0);
  EXPECT_EQ(Read("c"), "first");
  EXPECT_EQ(DeleteFile(Path("c").c_str()), 1);
  EXPECT_EQ(DeleteFile(Path("c").c_str()), 0);
  EXPECT_EQ(FileExists(Path("c").c_str()), 0);
  EXPECT_EQ(MoveFile(Path("missing").c_str(), Path("d").c_str()), 0);
  EXPECT_EQ(DeleteFile(nullptr), 0);
  EXPECT_EQ(MoveFile(nullptr, Path("d").c_str()), 0);
  EXPECT_EQ(FileExists(nullptr), 0);
}

// ---------------------------------------------------------------- cursor

TEST(Cursor, ShowCursorKeepsACountLikeWindows) {
  const int start = ShowCursor(1) - 1;
  EXPECT_EQ(ShowCursor(0), start);
  EXPECT_EQ(ShowCursor(0), start - 1);
  EXPECT_EQ(ShowCursor(1), start);
}

void FixedScreen(int* w, int* h) {
  *w = 1366;
  *h = 768;
}

TEST(Screen, TestsReplaceTheScreenSize) {
  SetScreenSizeSource(FixedScreen);
  int w = 0, h = 0;
  GetScreenSize(&w, &h);
  SetScreenSizeSource(nullptr);
  EXPECT_EQ(w, 1366);
  EXPECT_EQ(h, 768);
}

// ---------------------------------------------------- with an X server

class WithDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server";
  }
};

TEST_F(WithDisplay, TheScreenSizeIsTheDesktopMode) {
  int w = 0, h = 0;
  GetScreenSize(&w, &h);
  EXPECT_GT(w, 0);
  EXPECT_GT(h, 0);
}

TEST_F(WithDisplay, GlTestContextDrawsAndReadsBackRepeatedly) {
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(CreateGlTestContext(64, 48), 1);
    EXPECT_EQ(CreateGlTestContext(64, 48), 0) << "one test context at a time";
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 64);
    EXPECT_EQ(viewport[3], 48);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_EQ(doubleBuffered, GL_TRUE);

    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_QUADS);  // the lower-left quarter green
    glColor3f(0, 1, 0);
    glVertex2f(-1, -1);
    glVertex2f(0, -1);
    glVertex2f(0, 0);
    glVertex2f(-1, 0);
    glEnd();
    unsigned char inside[4] = {}, outside[4] = {};
    glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, inside);
    glReadPixels(60, 44, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, outside);
    EXPECT_EQ(inside[0], 0);
    EXPECT_EQ(inside[1], 255);
    EXPECT_EQ(outside[0], 255);
    EXPECT_EQ(outside[1], 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    DestroyGlTestContext();
  }
  DestroyGlTestContext();  // a second teardown does nothing
}

TEST_F(WithDisplay, CursorPositionRoundTripsInScreenCoordinates) {
  ASSERT_EQ(CreateGlTestContext(32, 32), 1);
  EXPECT_EQ(SetCursorPos(37, 53), 1);
  int x = -1, y = -1;
  EXPECT_EQ(GetCursorPos(&x, &y), 1);
  EXPECT_EQ(x, 37);
  EXPECT_EQ(y, 53);
  Rect r{};
  EXPECT_EQ(GetWindowRect(&r), 1);
  EXPECT_EQ(r.right - r.left, 32);
  EXPECT_EQ(r.bottom - r.top, 32);
  DestroyGlTestContext();
  EXPECT_EQ(GetWindowRect(&r), 0);
}

intptr_t gLastProcMessage = 0;
intptr_t RecordingProc(uint32_t message, uintptr_t, intptr_t) {
  gLastProcMessage = message;
  return 5;
}

TEST_F(WithDisplay, DispatchReachesTheRegisteredProcAndSystemCloseBecomesWmClose) {
  ASSERT_EQ(PlatformRegisterClass("test", RecordingProc), 1);
  EXPECT_EQ(PlatformRegisterClass("test", RecordingProc), 0) << "registered once";
  EXPECT_EQ(DispatchMessage(Msg{WM_KEYDOWN, 'A', 0}), 5);
  EXPECT_EQ(gLastProcMessage, static_cast<intptr_t>(WM_KEYDOWN));
  DefWindowProc(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(gLastProcMessage, static_cast<intptr_t>(WM_CLOSE));
  PlatformUnregisterClass("test");
  EXPECT_EQ(DispatchMessage(Msg{WM_KEYDOWN, 'A', 0}), 0);
}

TEST_F(WithDisplay, WindowStepsRunInOrderAndTearDownWhatExists) {
  EXPECT_EQ(PlatformCreateWindow("x", 0, 0, 100, 100), 0) << "no class yet";
  ASSERT_EQ(PlatformRegisterClass("test", RecordingProc), 1);
  EXPECT_EQ(PlatformGetDC(), 0) << "no window yet";
  EXPECT_EQ(PlatformCreateWindow("x", 0, 0, 0, 100), 0) << "an empty window";
  ASSERT_EQ(PlatformCreateWindow("st-DROMO", 0, 0, 320, 200), 1);
  EXPECT_EQ(PlatformSetPixelFormat(), 0) << "no DC yet";
  ASSERT_EQ(PlatformGetDC(), 1);
  EXPECT_EQ(PlatformChoosePixelFormat(PixelFormat{0, 16, 0, 1}), 0);
  ASSERT_EQ(PlatformChoosePixelFormat(PixelFormat{24, 16, 0, 1}), 1);
  EXPECT_EQ(PlatformCreateContext(), 0) << "no pixel format yet";
  ASSERT_EQ(PlatformSetPixelFormat(), 1);
  ASSERT_EQ(PlatformCreateContext(), 1);
  ASSERT_EQ(PlatformMakeCurrent(1), 1);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 320);
  EXPECT_EQ(viewport[3], 200);
  EXPECT_EQ(PlatformMakeCurrent(0), 1);
  PlatformDeleteContext();
  PlatformDeleteContext();
  EXPECT_EQ(PlatformMakeCurrent(1), 0) << "the context is gone";
  PlatformReleaseDC();
  PlatformDestroyWindow();
  PlatformDestroyWindow();
  PlatformUnregisterClass("test");
  PlatformUnregisterClass("test");
}

std::vector<uint32_t> gProcMessages;
intptr_t CollectingProc(uint32_t message, uintptr_t, intptr_t) {
  gProcMessages.push_back(message);
  return 0;
}

TEST_F(WithDisplay, AShownWindowReceivesTheFocus) {
  gProcMessages.clear();
  ASSERT_EQ(PlatformRegisterClass("test", CollectingProc), 1);
  ASSERT_EQ(PlatformCreateWindow("st-DROMO", 0, 0, 320, 200), 1);
  PlatformShowWindow();
  bool focused = false;
  Msg msg{};
  for (int pass = 0; pass < 200 && !focused; ++pass) {
    while (PeekMessage(&msg)) {
      DispatchMessage(msg);
      if (msg.message == WM_SETFOCUS) focused = true;
    }
    if (!focused) Sleep(5);
  }
  EXPECT_TRUE(focused) << "a shown window gets WM_SETFOCUS";
  bool activated = false;
  for (uint32_t m : gProcMessages) {
    if (m == WM_ACTIVATE) activated = true;
  }
  EXPECT_TRUE(activated);
  PlatformDestroyWindow();
  PlatformUnregisterClass("test");
}

}  // namespace
