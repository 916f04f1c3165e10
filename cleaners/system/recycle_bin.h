#pragma once

// Empties the recycle bins of every drive, without confirmation.
void EmptyRecycleBin();
