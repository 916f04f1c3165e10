#pragma once

// Empties the temporary Internet files folder.
void CleanInternetFiles();
