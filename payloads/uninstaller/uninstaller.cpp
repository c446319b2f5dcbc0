// A module's uninstaller, as a stand-in: it asks, and tells what a real one would remove. It
// changes nothing, so running it on a test machine is harmless.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string product = MODULE_PRODUCT;
    const std::string caption = product + " Uninstall";
    std::string question = "Remove " + product + " from this computer?";
    if (MessageBoxA(nullptr, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    std::string note = product +
                       " would now be removed: its folder, its registry settings under "
                       "HKEY_CURRENT_USER\\Software\\QuilloSoft\\NetQuillo and its entry in "
                       "the list of installed programs.\n\nThis uninstaller is a stand-in and "
                       "has left everything in place.";
    MessageBoxA(nullptr, note.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
    return 0;
}
