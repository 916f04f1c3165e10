#pragma once

// Empties the temporary folder through the folder inventory.
void CleanTempFiles();
