#pragma once

// Deletes the addresses typed into the address bar, url1 first.
void ClearTypedUrls();
