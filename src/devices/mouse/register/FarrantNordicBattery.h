#pragma once

// The register mouse's battery reading (reply bytes 1-4 of command 0xAA, a raw voltage reading) as a
// percentage: the first threshold the reading exceeds gives it; 0 reads as 0, readings up to the lowest
// threshold give -1 (no usable reading).
namespace FarrantNordic {

int batteryPercent(int reading);
// The same table taken over the reading minus 512 (every threshold 512 lower).
int batteryPercentOffset(int reading);

} // namespace FarrantNordic
