// The program: start-up, the message loop and the ordered shutdown.
#pragma once

// The whole run; always 0.
int WinMain();
// Pumps messages and draws frames until quitRequested is set.
void RunMessageLoop();
