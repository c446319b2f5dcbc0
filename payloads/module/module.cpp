// A NetQuillo module, as a stand-in: a window that names the module, the document it was asked
// to load (/load:<path>, the rest of the command line, unquoted) and the settings setup stored
// for it, in its module key and in the suite's shared settings key.
#include <windows.h>

#include <string>

namespace {

const char kSuiteKey[] = "Software\\QuilloSoft\\NetQuillo\\CurrentVersion\\";
const char kClassName[] = "QuilloModuleWindow";
const int kTextId = 100;

std::string Hex(const BYTE* data, DWORD size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (DWORD i = 0; i < size; ++i) {
        if (i > 0)
            text += ',';
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

// Every value of HKEY_CURRENT_USER\<path> as "name = data" lines.
std::string ListValues(const std::string& path) {
    std::string text = "HKEY_CURRENT_USER\\" + path + "\r\n";
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return text + "    (not set up)\r\n";
    bool any = false;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        LONG result = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        any = true;
        text += "    ";
        text += nameSize > 0 ? name : "(Default)";
        text += " = ";
        if (result == ERROR_MORE_DATA) {
            text += "(too long to show)";
        } else if (result != ERROR_SUCCESS) {
            text += "(unreadable)";
        } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
            data[dataSize] = 0;
            text += "\"" + std::string(reinterpret_cast<char*>(data)) + "\"";
        } else if (type == REG_DWORD && dataSize == 4) {
            DWORD value;
            CopyMemory(&value, data, sizeof value);
            text += std::to_string(value);
        } else {
            text += "hex:" + Hex(data, dataSize);
        }
        text += "\r\n";
    }
    RegCloseKey(key);
    return any ? text : text + "    (no values)\r\n";
}

// The path after "/load:". The open command passes it unquoted, so it runs to the end of the
// line, blanks included; typed by hand it may be quoted, or the whole option may be.
std::string DocumentPath(const char* commandLine, const char* load) {
    const char* path = load + 6;
    bool quoted = *path == '"' || (load > commandLine && load[-1] == '"');
    if (*path == '"')
        ++path;
    std::string text = path;
    size_t end = quoted ? text.find('"') : text.find_last_not_of(" \t") + 1;
    return text.substr(0, end);
}

std::string Describe(const char* commandLine) {
    std::string text = std::string(MODULE_PRODUCT) + "\r\n\r\n";
    const char* load = strstr(commandLine, "/load:");
    if (load != nullptr)
        text += "Document: " + DocumentPath(commandLine, load) + "\r\n\r\n";
    text += "Module settings:\r\n" + ListValues(std::string(kSuiteKey) + MODULE_SHORT_NAME);
    text += "\r\nShared settings:\r\n" + ListValues(std::string(kSuiteKey) + "Updates");
    return text;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        MoveWindow(GetDlgItem(window, kTextId), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(10000));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass))
        return 1;

    HWND window = CreateWindowA(kClassName, MODULE_PRODUCT, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 560, 400, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    std::string text = Describe(commandLine != nullptr ? commandLine : "");
    HWND textBox = CreateWindowA("EDIT", text.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                     ES_AUTOVSCROLL,
                                 0, 0, 0, 0, window, reinterpret_cast<HMENU>(kTextId), instance,
                                 nullptr);
    SendMessageA(textBox, WM_SETFONT,
                 reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
