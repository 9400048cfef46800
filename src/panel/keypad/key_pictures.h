// The 16 x 16 pictures beside the captions of "Ввод" and "Сброс", drawn rather than loaded.
#pragma once

#include <QPixmap>

namespace vr410 {

constexpr int KeyPictureSize = 16;

// A green bent arrow pointing left and down into a line: the value goes in.
QPixmap EnterPicture();
// A red circle with a bar across it: the output is reset.
QPixmap ResetPicture();

} // namespace vr410
