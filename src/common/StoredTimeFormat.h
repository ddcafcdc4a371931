#pragma once

// The format of the times the analytics client stores with its queued hits (QDateTime::toString/fromString).
constexpr char kStoredTimeFormat[] = "yyyy,MM,dd-hh:mm::ss:zzz";
