#include "report/TfrxFrame.h"

namespace qev {

void TfrxFrame::SetColor(int value) {
    FColor = value;
    for (TfrxFrameLine* line : {&LeftLine, &TopLine, &RightLine, &BottomLine}) line->Color = value;
}

void TfrxFrame::SetStyle(frx::TfrxFrameStyle value) {
    FStyle = value;
    for (TfrxFrameLine* line : {&LeftLine, &TopLine, &RightLine, &BottomLine}) line->Style = value;
}

void TfrxFrame::SetWidth(double value) {
    FWidth = value;
    for (TfrxFrameLine* line : {&LeftLine, &TopLine, &RightLine, &BottomLine}) line->Width = value;
}

}  // namespace qev
