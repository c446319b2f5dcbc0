#include "wizard/server_address.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <string>

int ReadDecimal(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

bool CutPort(char* text, DWORD& port) {
    char* colon = std::strrchr(text, ':');
    if (colon == nullptr)
        return false;
    *colon = '\0';
    port = static_cast<DWORD>(ReadDecimal(colon + 1));
    return true;
}

bool FindSystemProxy(const char* proxyServer, const char* name, char* address, size_t capacity,
                     DWORD& port) {
    std::string servers = proxyServer;
    std::string key = std::string(name) + "=";
    for (std::string* text : {&servers, &key}) {
        for (char& c : *text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::string candidate;
    size_t found = servers.find(key);
    if (found != std::string::npos)
        candidate = servers.substr(found + key.size());
    else if (key == "http=" && servers.find_first_of("=;") == std::string::npos)
        candidate = servers;
    else
        return false;
    candidate = candidate.substr(0, candidate.find(';'));
    size_t scheme = candidate.find("://");
    if (scheme != std::string::npos)
        candidate.erase(0, scheme + 3);
    DWORD candidatePort = port;
    CutPort(&candidate[0], candidatePort);
    size_t length = std::strlen(candidate.c_str());
    if (length == 0 || length + 1 > capacity)
        return false;
    std::memcpy(address, candidate.c_str(), length + 1);
    port = candidatePort;
    return true;
}
