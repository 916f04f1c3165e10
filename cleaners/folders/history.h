#pragma once

// Empties the browser history folder when it holds no sub-folder.
void CleanHistory();
