#pragma once
// Conversion between the parameter image and the editor's working values.

#include "params/parameter_image.h"
#include "params/working_records.h"

namespace corvanta {

// Reads every editor field of the image. Never fails: stored values outside a
// control's range come out the way the control shows them (spin values
// clamped, radio groups at their last item, drop-down lists unselected).
ParameterValues decode(const ParameterImage& image);

// Writes into `image` the fields whose value differs from the one `image`
// shows, each by its rule: a value outside its control's range is stored the
// way decode would have shown it, so a byte never wraps around. A field whose
// value is the one shown keeps its bits exactly, also when they lie outside
// the format (a smart zone time of 40 that shows as 25); bits no field holds
// are never written. So encode(decode(image), image) changes nothing, and an
// edit changes the edited fields' bits and no others.
void encode(const ParameterValues& values, ParameterImage& image);

// Writes every field by its rule, as an image built from values alone holds
// them, together with the unused bits of flag words and relay bitmaps (as
// 0). Bytes no field covers at all keep their values.
void encodeEveryField(const ParameterValues& values, ParameterImage& image);

}  // namespace corvanta
