#pragma once

// The one rule by which a length of the interface follows the UI scale: multiplied in single precision and
// truncated toward zero (0.7 x 7 gives 4, -10 x 0.65 gives -6), as the QML documents and the models expect.
namespace UiScale {

inline int scaleLength(float factor, int length)
{
    return static_cast<int>(static_cast<float>(length) * factor);
}

} // namespace UiScale
