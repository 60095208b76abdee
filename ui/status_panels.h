// The status lines beside the well and the stage-results screen: the game's
// counters turned into text.  The texts are made apart from the drawing so
// that they can be checked without a screen.
#pragma once

#include <string>

struct Panel;

// One line of panel text with its colour and font.  An empty text draws
// nothing.  The default colour is the ordinary grey of ApplyTextColour.
struct PanelText {
  std::string text;     // Windows-1251
  std::string colours;  // optional colour string, one letter per character
  float r = 0.7f, g = 0.7f, b = 0.7f, a = 1.0f;
  int font = 5;
};

// Text colour hand-over: the next ApplyTextColour uses the pending colour
// once, otherwise grey (0.7, 0.7, 0.7, 1.0).
void SetNextTextColour(float r, float g, float b, float a);
void ApplyTextColour();

// Font 5 on windows wider than 979 pixels, else the narrow font given.
int FontForWindow(int narrowFont);

// The stage progress percentage last drawn.
extern float gStageProgressShown;

PanelText LastRemovalText();
PanelText BestPointsText();
PanelText ScoreText();
PanelText ChainLabelText();  // empty while no chain is shown
bool ChainGaugeShown();
PanelText StageProgressText(int* percentOut);
PanelText TotalScoreText();
PanelText StageScoreText();
PanelText CubesText();
PanelText ResultsTitleText();
PanelText ChainShareText();
PanelText CollectShareText();
PanelText ChainCountLineText(int tag);  // tags 8 (sum) .. 0
PanelText ChainCountValueText(int tag);
PanelText SizeCountLineText(int tag);
PanelText SizeCountValueText(int tag);
PanelText ChainFooterText();
PanelText SizeFooterText();
PanelText ResultsPromptText();  // empty while the results cannot be closed yet

// Draw callbacks of the status and results panels.
void DrawLastRemoval(Panel* panel);
void DrawBestPoints(Panel* panel);
void DrawScore(Panel* panel);
void DrawChainGauge(Panel* panel);
void DrawChainLabel(Panel* panel);
void DrawStageProgress(Panel* panel);
void DrawTotalScore(Panel* panel);
void DrawStageScore(Panel* panel);
void DrawCubes(Panel* panel);
void DrawResultsTitle(Panel* panel);
void DrawChainShare(Panel* panel);
void DrawCollectShare(Panel* panel);
void DrawChainCountLine(Panel* panel);
void DrawChainCountValue(Panel* panel);
void DrawSizeCountLine(Panel* panel);
void DrawSizeCountValue(Panel* panel);
void DrawChainFooter(Panel* panel);
void DrawSizeFooter(Panel* panel);
void DrawResultsPrompt(Panel* panel);
