#pragma once

// Units, colours and the enumerations shared by the report classes.
//
// Every coordinate of a report component is a double in report pixels (96 per
// inch). Colours are 0x00BBGGRR values held in an int; clNone means nothing is
// drawn. The enumerations live in qev::frx so that their names can be stored
// and read as text (the report's stored form names them, e.g. "haCenter").

#include <QFlags>
#include <QObject>

namespace qev {

// Design units in report pixels. Fixed values, not derived from one another:
// fr01cm is deliberately 3.77953 and not 96 / 25.4.
constexpr double fr01cm = 3.77953;
constexpr double fr1cm = 37.7953;
constexpr double fr01in = 9.6;
constexpr int fr1in = 96;

// Colours: 0x00BBGGRR, red in the low byte.
constexpr int clNone = 0x1FFFFFFF;
constexpr int clTransparent = clNone;
constexpr int clBlack = 0x000000;
constexpr int clWhite = 0xFFFFFF;
constexpr int clRed = 0x0000FF;
constexpr int clAqua = 0xFFFF00;

// The character set of a font that leaves the choice to the system.
constexpr int DEFAULT_CHARSET = 1;

namespace frx {
Q_NAMESPACE

enum TfrxFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
Q_DECLARE_FLAGS(TfrxFontStyles, TfrxFontStyle)
Q_FLAG_NS(TfrxFontStyles)

enum TfrxFrameType { ftLeft = 1, ftRight = 2, ftTop = 4, ftBottom = 8 };
Q_DECLARE_FLAGS(TfrxFrameTypes, TfrxFrameType)
Q_FLAG_NS(TfrxFrameTypes)

enum TfrxFrameStyle {
    fsSolid,
    fsDash,
    fsDot,
    fsDashDot,
    fsDashDotDot,
    fsDouble,
    fsAltDot,
    fsSquare
};
Q_ENUM_NS(TfrxFrameStyle)

enum TfrxAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };
Q_ENUM_NS(TfrxAlign)

enum TfrxShiftMode { smDontShift, smAlways, smWhenOverlapped };
Q_ENUM_NS(TfrxShiftMode)

enum TfrxStretchMode { smDontStretch, smActualHeight, smMaxHeight };
Q_ENUM_NS(TfrxStretchMode)

// Fill pattern of a view (the brush styles of the drawing system).
enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
Q_ENUM_NS(TBrushStyle)

enum TfrxHAlign { haLeft, haRight, haCenter, haBlock };
Q_ENUM_NS(TfrxHAlign)

enum TfrxVAlign { vaTop, vaBottom, vaCenter };
Q_ENUM_NS(TfrxVAlign)

enum TfrxFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };
Q_ENUM_NS(TfrxFormatKind)

enum TfrxShapeKind {
    skRectangle,
    skRoundRectangle,
    skEllipse,
    skTriangle,
    skDiamond,
    skDiagonal1,
    skDiagonal2
};
Q_ENUM_NS(TfrxShapeKind)

enum TPrinterOrientation { poPortrait, poLandscape };
Q_ENUM_NS(TPrinterOrientation)

enum TfrxDuplexMode { dmNone, dmVertical, dmHorizontal, dmSimplex };
Q_ENUM_NS(TfrxDuplexMode)

enum TfrxRangeBegin { rbFirst, rbCurrent };
Q_ENUM_NS(TfrxRangeBegin)

enum TfrxRangeEnd { reLast, reCurrent, reCount };
Q_ENUM_NS(TfrxRangeEnd)

enum TfrxFieldType { fftNumeric, fftString, fftBoolean };
Q_ENUM_NS(TfrxFieldType)

enum TfrxSilentMode { simMessageBoxes, simSilent, simReThrow };
Q_ENUM_NS(TfrxSilentMode)

enum TfrxRestriction {
    rfDontModify = 1,
    rfDontSize = 2,
    rfDontMove = 4,
    rfDontDelete = 8,
    rfDontEdit = 16
};
Q_DECLARE_FLAGS(TfrxRestrictions, TfrxRestriction)
Q_FLAG_NS(TfrxRestrictions)

enum TfrxComponentStyle { csContainer = 1, csPreviewVisible = 2, csDefaultDiff = 4 };
Q_DECLARE_FLAGS(TfrxComponentStyles, TfrxComponentStyle)
Q_FLAG_NS(TfrxComponentStyles)

enum TfrxPreviewButton {
    pbPrint = 0x1,
    pbLoad = 0x2,
    pbSave = 0x4,
    pbExport = 0x8,
    pbZoom = 0x10,
    pbFind = 0x20,
    pbOutline = 0x40,
    pbPageSetup = 0x80,
    pbTools = 0x100,
    pbEdit = 0x200,
    pbNavigator = 0x400,
    pbExportQuick = 0x800,
    pbNoClose = 0x1000,
    pbNoFullScreen = 0x2000,
    pbNoEmail = 0x4000
};
Q_DECLARE_FLAGS(TfrxPreviewButtons, TfrxPreviewButton)
Q_FLAG_NS(TfrxPreviewButtons)

}  // namespace frx

Q_DECLARE_OPERATORS_FOR_FLAGS(frx::TfrxFontStyles)
Q_DECLARE_OPERATORS_FOR_FLAGS(frx::TfrxFrameTypes)
Q_DECLARE_OPERATORS_FOR_FLAGS(frx::TfrxRestrictions)
Q_DECLARE_OPERATORS_FOR_FLAGS(frx::TfrxComponentStyles)
Q_DECLARE_OPERATORS_FOR_FLAGS(frx::TfrxPreviewButtons)

}  // namespace qev
