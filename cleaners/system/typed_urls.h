#pragma once

// Deletes the addresses typed into the address bar: every value named "url" followed by digits
// (url1, url3, url27...) of the user's TypedURLs key, and the values of such names in
// TypedURLsTime, which holds when each was typed. Other values stay.
void ClearTypedUrls();
