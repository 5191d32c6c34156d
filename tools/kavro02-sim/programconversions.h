#pragma once

#include "readingencoder.h"

namespace kavro::sim {

// The program's own conversions (kavro_core), as the program applies them
// once it holds this image and its calibration block.
ReadingEncoder::ConversionFactory ProgramConversions(const TInstrumentImage &image);

} // namespace kavro::sim
