// Throughput of the registry patch applier on the host emulation, registry writes included,
// and the heap allocations the applier itself makes (the goal is none).
//
// Allocations are counted around whole Apply calls, which include the emulated registry's own
// allocations; the same registry calls are then made directly, without the applier, and
// counted the same way. The difference is what the applier's own code allocated.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "platform/host/emulation.h"
#include "registry/reg_key.h"
#include "registry/reg_patch.h"
#include "resources/patch_texts.h"

namespace {

bool g_counting = false;
unsigned long g_allocations = 0;

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime's allocator interface; the compiler here ships no header for it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            size_t),
                                                         void (*freeHook)(const volatile void*));

// The sanitizer's allocator serves malloc and operator new alike, so its hook sees every
// allocation whatever the code used.
namespace {
void CountAllocation(const volatile void*, size_t) {
    if (g_counting)
        ++g_allocations;
}
void IgnoreFree(const volatile void*) {}
void InstallCounter() {
    __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree);
}
} // namespace
#else
// Without the sanitizer, every operator new passes through here.
void* operator new(size_t size) {
    if (g_counting)
        ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}
namespace {
void InstallCounter() {}
} // namespace
#endif

namespace {

struct StoredValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};

struct StoredKey {
    std::string subPath; // below the suite key
    std::vector<StoredValue> values;
};

// Every key below the suite key that holds values, with its values, as the patches left them.
void CollectKeys(const std::string& subPath, std::vector<StoredKey>& keys) {
    std::string path = std::string(kSuiteKeyPath) + (subPath.empty() ? "" : "\\" + subPath);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    StoredKey stored{subPath, {}};
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD nameLength = sizeof name;
        DWORD type;
        BYTE data[65536];
        DWORD size = sizeof data;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        stored.values.push_back({name, type, std::vector<BYTE>(data, data + size)});
    }
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        children.push_back(name);
    }
    RegCloseKey(key);
    if (!stored.values.empty())
        keys.push_back(stored);
    for (const std::string& child : children)
        CollectKeys(subPath.empty() ? child : subPath + "\\" + child, keys);
}

bool ApplyAll() {
    bool ok = true;
    for (const CarriedPatchText& carried : kCarriedPatchTexts) {
        RegPatch patch;
        ok = patch.Apply(carried.shortName, carried.text) && ok;
    }
    return ok;
}

void Write(RegKey& key, const StoredValue& value) {
    const char* name = value.name.c_str();
    const BYTE* data = value.data.data();
    DWORD size = static_cast<DWORD>(value.data.size());
    DWORD number = 0;
    switch (value.type) {
    case REG_DWORD:
        for (DWORD i = 0; i < 4 && i < size; ++i)
            number |= static_cast<DWORD>(data[i]) << (8 * i);
        key.WriteDword(name, number);
        break;
    case REG_SZ:
        key.WriteString(name, reinterpret_cast<const char*>(data));
        break;
    case REG_MULTI_SZ:
        key.WriteMultiString(name, reinterpret_cast<const char*>(data), size);
        break;
    default:
        key.WriteBinary(name, data, size);
        break;
    }
}

// The registry calls of one pass over the carried patches, made directly: each module key
// opened once, then every key with values opened and its values written.
void ReplayDirectly(const std::vector<StoredKey>& keys) {
    RegKey key(kCarriedPatchTexts[0].shortName);
    for (const CarriedPatchText& carried : kCarriedPatchTexts) {
        RegKey module(carried.shortName);
        module.Open(Module, nullptr, false);
    }
    for (const StoredKey& stored : keys) {
        key.Open(Suite, stored.subPath.c_str(), false);
        for (const StoredValue& value : stored.values)
            Write(key, value);
    }
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Runs `applyOnce` over and over for about a second; prints MB of patch text per second.
template <typename ApplyOnce>
void Measure(const char* what, size_t bytesPerPass, ApplyOnce applyOnce) {
    unsigned long passes = 0;
    auto start = std::chrono::steady_clock::now();
    double elapsed = 0;
    while (elapsed < 1.0) {
        if (!applyOnce()) {
            std::printf("%s: a patch was refused\n", what);
            std::exit(1);
        }
        ++passes;
        elapsed = Seconds(start);
    }
    double megabytes = static_cast<double>(bytesPerPass) * static_cast<double>(passes) / 1e6;
    std::printf("%-44s %8zu bytes a pass, %6lu passes in %.2f s: %8.2f MB/s\n", what, bytesPerPass,
                passes, elapsed, megabytes / elapsed);
}

// A patch of long lists: more text per registry write than the carried patches have.
std::string LongListsPatch() {
    std::string text = "REGPATCH1.0000\r\n[Web\\Bench]\r\n";
    for (int line = 0; line < 100; ++line) {
        text += "\"numbers" + std::to_string(line) + "\"=numbers:\\\r\n";
        for (int row = 0; row < 63; ++row) { // 2,017 numbers, within the limit
            text += "  ";
            for (int i = 0; i < 32; ++i)
                text += std::to_string((line * 7919 + row * 31 + i) % 100000) + ",";
            text += row < 62 ? "\\\r\n" : "0\r\n";
        }
    }
    return text;
}

} // namespace

int main() {
    InstallCounter();
    hostemu::Reset();

    size_t carriedBytes = 0;
    for (const CarriedPatchText& carried : kCarriedPatchTexts)
        carriedBytes += carried.size;
    std::printf("Registry patch applier on the host emulation\n");
#if defined(__SANITIZE_ADDRESS__)
    std::printf("(this build runs under AddressSanitizer: figures are for comparison only)\n");
#endif
    Measure("five carried patches, registry writes incl.", carriedBytes, ApplyAll);
    std::string longLists = LongListsPatch();
    Measure("long number lists, registry writes incl.", longLists.size(), [&longLists] {
        RegPatch patch;
        return patch.Apply("Web", longLists.c_str());
    });

    // Allocations: the registry holds every value already, so both runs replace values only.
    hostemu::Reset();
    ApplyAll();
    std::vector<StoredKey> keys;
    CollectKeys("", keys);
    g_allocations = 0;
    g_counting = true;
    bool applied = ApplyAll();
    g_counting = false;
    unsigned long withApply = g_allocations;
    g_allocations = 0;
    g_counting = true;
    ReplayDirectly(keys);
    g_counting = false;
    unsigned long direct = g_allocations;
    std::printf("heap allocations in one pass over the carried patches: %lu with Apply, %lu by "
                "the same registry calls made directly, %ld by Apply itself\n",
                withApply, direct, static_cast<long>(withApply) - static_cast<long>(direct));
    return applied ? 0 : 1;
}
