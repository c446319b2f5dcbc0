// What the wizard's tests share: the stock wizard bitmap, and a page window made straight from
// a page's template so that the page's own code can be called on it.
#pragma once

#include <string>

#include "tests/support/test_world.h"
#include "wizard/wizard_page.h"

// Payload 999 expanded and loaded as an 8-bit DIB section (116 by 226), or null. The caller
// deletes it.
HBITMAP LoadStockWizardBitmap();

// The page's dialog template as a modeless dialog owned by nobody, bound to `page` as its page
// window, its controls filled by the page's OnInitDialog. The caller destroys it.
HWND CreatePageWindow(DialogPage& page);
