// The palette: nine brushes and eight pens. Bricks are recognised by these exact colours.
#pragma once

#include <array>

#include "platform/colour.h"

namespace krelmo::engine {

constexpr Colour kWhite = RGB(255, 255, 255);
constexpr Colour kBlack = RGB(0, 0, 0);
constexpr Colour kMagenta = RGB(255, 0, 255);
constexpr Colour kBlue = RGB(0, 0, 255);
constexpr Colour kGreen = RGB(0, 255, 0);
constexpr Colour kYellow = RGB(255, 255, 0);
constexpr Colour kOrange = RGB(255, 128, 0);
constexpr Colour kRed = RGB(255, 0, 0);
constexpr Colour kSilver = RGB(192, 192, 192);

constexpr Brush whiteBrush{kWhite};
constexpr Brush blackBrush{kBlack};
constexpr Brush magentaBrush{kMagenta};
constexpr Brush blueBrush{kBlue};
constexpr Brush greenBrush{kGreen};
constexpr Brush yellowBrush{kYellow};
constexpr Brush orangeBrush{kOrange};
constexpr Brush redBrush{kRed};
constexpr Brush silverBrush{kSilver};

constexpr Pen magentaPen{kMagenta};
constexpr Pen bluePen{kBlue};
constexpr Pen greenPen{kGreen};
constexpr Pen yellowPen{kYellow};
constexpr Pen orangePen{kOrange};
constexpr Pen redPen{kRed};
constexpr Pen blackPen{kBlack};
constexpr Pen silverPen{kSilver};

// Row 0 (top) to row 5 (bottom) of the wall.
constexpr std::array<Brush, 6> kRowBrushes{magentaBrush, blueBrush,   greenBrush,
                                           yellowBrush,  orangeBrush, redBrush};
constexpr std::array<Pen, 6> kRowPens{magentaPen, bluePen, greenPen, yellowPen, orangePen, redPen};

}  // namespace krelmo::engine
