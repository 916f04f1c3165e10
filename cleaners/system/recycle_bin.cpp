#include "cleaners/system/recycle_bin.h"

#include "platform/recycle_bin.h"

void EmptyRecycleBin() {
  // Errors ignored: each call is made whatever the previous one returned. The first one empties
  // the bins without asking; the other two find them empty.
  (void)platform::EmptyRecycleBins(platform::kRecycleNoConfirmation);
  (void)platform::EmptyRecycleBins(platform::kRecycleNoProgressUi);
  (void)platform::EmptyRecycleBins(platform::kRecycleNoSound);
}
