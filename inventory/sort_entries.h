#pragma once

#include "platform/status.h"

// Orders rows 1 to n of EntryTable ascending by their path field, comparing paths without
// regard to letter case in the user's locale (so a folder's path is followed by its own
// sub-folders' paths before a sibling whose name extends its name: "a", "a\x", "ab"), and
// copies the path, detail and kind fields of each row in that order into SortedTable rows 1
// to n. n is one less than the number in field 0 of row 0 of EntryTable. EntryTable is left
// in the same order; its row 0 is untouched. Rows whose paths compare equal keep their order.
// SortedTable grows to hold them. No handler: an out-of-range row count or field number, or
// memory that runs out, fails before anything moves.
platform::Status SortEntries();
