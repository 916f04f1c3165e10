#pragma once

// Deletes the cookie files that the URL cache names from the cookies folder. The result is
// informative only; the cleaning run ignores it.
bool CleanCookies();
