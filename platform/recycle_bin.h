#pragma once
// The shell's recycle bins.

#include "platform/status.h"

namespace platform {

// Flags of the shell's emptying call.
inline constexpr unsigned kRecycleNoConfirmation = 0x1;
inline constexpr unsigned kRecycleNoProgressUi = 0x2;
inline constexpr unsigned kRecycleNoSound = 0x4;

// Empties the recycle bins of every drive, with no owner window, and notes in the run's tally
// the items and bytes the bins lost meanwhile. Without kRecycleNoConfirmation the shell asks the
// user first when the bin holds anything.
Status EmptyRecycleBins(unsigned flags);

}  // namespace platform
