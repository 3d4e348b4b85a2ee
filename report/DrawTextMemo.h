#pragma once

// The memo's side of text layout and drawing: how a memo hands its font,
// options, spacings and text rectangle to the layout engine, and what it makes
// of the results. The memo's CalcHeight, CalcWidth and Draw call these.

#include "report/TfrxDrawText.h"

class QPainter;

namespace qev {

class TfrxCustomMemoView;
class TfrxFont;

FontDesc fontDesc(const TfrxFont& font);

// The engine a memo lays out with.
TfrxDrawText& memoDrawText(const TfrxCustomMemoView& memo);

// The memo's text rectangle on a canvas at the given scale and offsets: its
// device rectangle less the frame lines and the gaps.
LayoutRect memoTextRect(const TfrxCustomMemoView& memo, double scaleX, double scaleY,
                        double offsetX, double offsetY);
// What the frame, gaps and shadow add to the text's width and height.
double AdjustCalcWidth(const TfrxCustomMemoView& memo);
double AdjustCalcHeight(const TfrxCustomMemoView& memo);

// Font, options, gaps, dimensions and text of the memo into the engine (with
// AutoWidth, the memo is first sized to its text). Call under the engine lock.
void SetDrawParams(TfrxCustomMemoView& memo, TfrxDrawText& engine, double scaleX, double scaleY,
                   double offsetX, double offsetY);

// Height and width the memo's text needs, gaps and frame included, rounded.
double memoCalcHeight(TfrxCustomMemoView& memo);
double memoCalcWidth(TfrxCustomMemoView& memo);

// Fill, frame, underline rules and text of the memo on the canvas.
void memoDraw(TfrxCustomMemoView& memo, QPainter* canvas, double scaleX, double scaleY,
              double offsetX, double offsetY);

// Splitting a memo across pages. partText holds what is still to be output:
// InitPart starts it with the whole text; each DrawPart keeps in the memo the
// lines that fit its height, leaves the rest in partText and returns the
// unused height (the memo's height when nothing is left unused).
void memoInitPart(TfrxCustomMemoView& memo, QString& partText);
double memoDrawPart(TfrxCustomMemoView& memo, QString& partText);

}  // namespace qev
