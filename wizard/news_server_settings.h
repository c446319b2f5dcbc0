// The news server the News module uses: proposed from what an earlier run stored in the News
// module's key, else imported from the browser, and stored only when News is installed.
#pragma once

#include "platform/win32.h"
#include "wizard/proxy_settings.h"

struct NewsServerSettings {
    char serverName[kServerTextCapacity] = {};
    DWORD port = 119;
    bool requiresAuthentication = false;
    char userId[kServerTextCapacity] = {};
    char password[kServerTextCapacity] = {};
};

// The News module's key decides: its values when it exists (missing ones keep their
// defaults), the browser's "name:port" otherwise.
void LoadNewsServerSettings(NewsServerSettings& settings);

// Writes the five values into the News module's key, only while News is selected. False when
// the key or a value could not be written: settings the user gave that are not stored fail the
// install rather than pass for done.
bool StoreNewsServerSettings(const NewsServerSettings& settings);
