// What Windows' WinVerifyTrust says of a signed program (docs/security.md has the findings):
//   trust_probe FILE...             the answer for each file, as Explorer and SmartScreen ask
//   trust_probe --trust CERT.der    first puts a certificate among the machine's trusted roots
#include <windows.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

LONG Verify(const char* path) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = wide;
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG result = WinVerifyTrust(nullptr, &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(nullptr, &action, &data);
    return result;
}

const char* Meaning(LONG result) {
    switch (static_cast<unsigned long>(result)) {
    case 0: return "trusted";
    case 0x800B0100: return "TRUST_E_NOSIGNATURE";
    case 0x80096010: return "TRUST_E_BAD_DIGEST";
    case 0x800B0109: return "CERT_E_UNTRUSTEDROOT";
    case 0x800B010A: return "CERT_E_CHAINING";
    case 0x80096001: return "TRUST_E_SYSTEM_ERROR";
    case 0x800B0004: return "TRUST_E_SUBJECT_NOT_TRUSTED";
    case 0x80092009: return "CRYPT_E_NO_MATCH";
    case 0x8009200D: return "CRYPT_E_ASN1_BADTAG";
    default: return "other";
    }
}

} // namespace

int main(int argc, char** argv) {
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--trust") == 0) {
        std::vector<BYTE> der(65536);
        FILE* file = std::fopen(argv[2], "rb");
        size_t size = file ? std::fread(der.data(), 1, der.size(), file) : 0;
        if (file)
            std::fclose(file);
        BOOL added = CertAddEncodedCertificateToSystemStoreA(
            "Root", der.data(), static_cast<DWORD>(size));
        std::printf("%s added to the trusted roots: %s\n", argv[2], added ? "yes" : "no");
        first = 3;
    }
    for (int i = first; i < argc; ++i) {
        LONG result = Verify(argv[i]);
        std::printf("%s: 0x%08lX %s\n", argv[i], static_cast<unsigned long>(result),
                    Meaning(result));
    }
    return 0;
}
