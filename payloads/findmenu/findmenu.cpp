// The Find-menu shell extension library, as a stand-in: a COM in-process server that the
// shell can load and ask for its class, and that offers none yet.
#include <windows.h>

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* object) {
    if (object != nullptr)
        *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

// Nothing is ever handed out, so the shell may unload the library at any time.
extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_OK; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
