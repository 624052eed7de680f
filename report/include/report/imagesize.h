#pragma once

// The sides a saved map may have, in pixels (of 1/96 inch for PDF): the
// command line's --map-size and the desktop's save-image dialog take the
// same range.

namespace tessaron {

inline constexpr int kSmallestImageSide = 50;
inline constexpr int kLargestImageSide = 6000;  // 144 MB as an image

}  // namespace tessaron
