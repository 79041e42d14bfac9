#pragma once
// Conversion between the parameter image and the editor's working values.

#include "params/parameter_image.h"
#include "params/working_records.h"

namespace corvanta {

// Reads every editor field of the image. Never fails: stored values outside a
// control's range come out the way the control shows them (spin values
// clamped, radio groups at their last item, drop-down lists unselected).
ParameterValues decode(const ParameterImage& image);

// Writes every editor field back into `image` and nothing else; bytes no field
// covers keep their values. Values outside their control's range are stored
// the way decode would have shown them, so a byte never wraps around.
void encode(const ParameterValues& values, ParameterImage& image);

}  // namespace corvanta
