// The toolbar's pictures, drawn as vector paths at whatever size and pixel
// ratio the button asks for, so they stay crisp on any screen.
#pragma once

#include <QIcon>

namespace rara {

enum class TToolPicture { Exit, Format, NewParams, NewCurve, NewPoint, Save, Print, Copy, Clear, Help };

QIcon ToolIcon(TToolPicture picture);

}  // namespace rara
