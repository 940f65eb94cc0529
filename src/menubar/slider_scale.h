// The brightness slider's logarithmic scale: position 0...1 stands for 12.5 x 80^p nits.
#pragma once

namespace SliderScale {

// Where a stored fixed brightness sits; a value not above 0 sits where 150 nits would.
double position(double storedNits);
// The brightness a position stores: rounded to whole nits, halves away from zero (13...1000).
double nits(double position);
// The keyboard's steps from `storedNits`: `steps` whole nits, or `pages` tenths of the slider's
// travel (at least one nit each), always within 13...1000.
double stepped(double storedNits, int steps);
double paged(double storedNits, int pages);

}  // namespace SliderScale
