// The pixel helpers of the tests, under the names the controls tests use.
#pragma once

#include "tests/support/PixelSurface.h"

namespace controls_test {
using testing_support::BitmapPixels;
using testing_support::Describe;
using testing_support::PixelSurface;
using testing_support::ReadPixels;
}  // namespace controls_test
