#include "cleaners/system/recycle_bin.h"

#include "platform/recycle_bin.h"

void EmptyRecycleBin() {
  // Errors ignored: each call is made whatever the previous one returned. None may ask: an
  // item the first call could not erase would otherwise raise a question that no window owns.
  (void)platform::EmptyRecycleBins(platform::kRecycleNoConfirmation);
  (void)platform::EmptyRecycleBins(platform::kRecycleNoConfirmation |
                                   platform::kRecycleNoProgressUi);
  (void)platform::EmptyRecycleBins(platform::kRecycleNoConfirmation | platform::kRecycleNoSound);
}
