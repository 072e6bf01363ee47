#pragma once

#include <cstdint>

// Result codes of the capture layer: 0 success, 1 success that did nothing, negative failure.
// The values are those the camera code's callers have always tested against.
using CaptureResult = std::int32_t;

namespace CaptureCode {
inline constexpr CaptureResult Ok = 0;
inline constexpr CaptureResult False = 1;
inline constexpr CaptureResult NotImplemented = std::int32_t(0x80004001u);
inline constexpr CaptureResult NoInterface = std::int32_t(0x80004002u);
inline constexpr CaptureResult Pointer = std::int32_t(0x80004003u);
inline constexpr CaptureResult Fail = std::int32_t(0x80004005u);
inline constexpr CaptureResult Unexpected = std::int32_t(0x8000FFFFu);
inline constexpr CaptureResult PropIdUnsupported = std::int32_t(0x80070490u);
inline constexpr CaptureResult Exception = -1;

inline constexpr bool failed(CaptureResult r)
{
    return r < 0;
}
} // namespace CaptureCode
