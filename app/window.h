// The one borderless window with its OpenGL context.
#pragma once

void ChooseWindowSize();
int CreateGlWindow(int width, int height);
void KillGlWindow();
