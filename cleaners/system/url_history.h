#pragma once
// The URL history of the browser: the addresses it visited, kept as entries of the URL cache.

// Removes every URL history entry that the cache walk collects (with its file, which the cache
// deletes), one by one; cookie and content entries stay. Errors ignored: an entry that cannot
// be removed stays and the next one is tried. Each removal is noted in the run's tally.
void CleanUrlHistory();
