#include "cleaners/system/typed_urls.h"

// Not wired yet: deletes nothing.
void ClearTypedUrls() {}
