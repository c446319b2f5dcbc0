// The emulated registry: keys and typed values with the rules of the Windows NT family, but for
// the 95 family's deletion of whole subtrees.
// Subkeys enumerate in the order of their upper-cased names, as NT keeps them; values in the
// order they were first written. Names compare ignoring letter case and keep the case they
// were created with.
// Windows keeps string data in UTF-16 and the A calls convert it from and to the ANSI code page.
// Here a string keeps the width of the call that wrote it, the wide form in the host's WCHAR
// units, and a call of the other width sees it converted: the same answers for every text the
// ANSI code page holds, and '?' in the A calls' view for a character it lacks.
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include <type_traits>
#include <utility>

#include "platform/ascii_case.h"
#include "platform/host/emulation.h"
#include "platform/host/name_order.h"
#include "platform/host/win32_api.h"
#include "platform/regedit_export.h"

namespace {

constexpr size_t kMaxKeyNameLength = 255;

std::string UpperName(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        c = AsciiUpper(c);
    return upper;
}

// Hands `visit` each name of a sub-path in turn, skipping the empty ones that doubled or
// trailing backslashes leave; stops, answering false, as soon as `visit` answers false.
template <typename Visit> bool ForEachName(const char* subKey, Visit visit) {
    const char* p = subKey ? subKey : "";
    while (*p) {
        if (*p == '\\') {
            ++p;
            continue;
        }
        const char* start = p;
        while (*p && *p != '\\')
            ++p;
        if (!visit(std::string_view(start, static_cast<size_t>(p - start))))
            return false;
    }
    return true;
}

struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
    bool wide = false;
    // The name as a W call wrote it, kept only when it has a character the ANSI code page
    // lacks: the A calls list such a name with '?' in its place and cannot name it.
    std::basic_string<WCHAR> wideName;
};

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// A string value converted to the other width, as a call of that width sees it. A partial WCHAR
// at the end of wide data has no character for the A calls.
Value Viewed(const Value& value, bool wide) {
    Value view{value.name, value.type, {}, wide};
    if (wide) {
        std::vector<WCHAR> units;
        for (BYTE byte : value.data)
            units.push_back(hostemu::detail::AnsiToWide(static_cast<char>(byte)));
        const BYTE* bytes = reinterpret_cast<const BYTE*>(units.data());
        view.data.assign(bytes, bytes + units.size() * sizeof(WCHAR));
    } else {
        for (size_t i = 0; i + sizeof(WCHAR) <= value.data.size(); i += sizeof(WCHAR)) {
            WCHAR unit;
            std::memcpy(&unit, value.data.data() + i, sizeof unit);
            view.data.push_back(static_cast<BYTE>(hostemu::detail::WideToAnsi(unit)));
        }
    }
    return view;
}

// A W call's value name as the emulation keeps names, in the ANSI code page; `lossy` tells
// that a character had none there.
std::string NarrowName(const WCHAR* name, bool* lossy = nullptr) {
    std::string narrow;
    for (const WCHAR* p = name; p && *p; ++p) {
        narrow += hostemu::detail::WideToAnsi(*p);
        if (lossy && narrow.back() == '?' && *p != L'?')
            *lossy = true;
    }
    return narrow;
}

struct Key {
    std::string name;
    std::string path; // ROOT\path, for faults
    Key* parent = nullptr;
    bool deleted = false;
    std::map<std::string, std::shared_ptr<Key>, hostemu::NameLess> subkeys; // by upper-cased name
    std::vector<Value> values;

    Value* FindValue(const char* valueName) {
        std::string_view wanted = valueName ? valueName : "";
        for (Value& value : values) {
            if (value.wideName.empty() && hostemu::detail::EqualNames(value.name, wanted))
                return &value;
        }
        return nullptr;
    }
    Value* FindValue(const WCHAR* valueName) {
        bool lossy = false;
        std::string narrow = NarrowName(valueName, &lossy);
        if (!lossy)
            return FindValue(valueName ? narrow.c_str() : nullptr);
        for (Value& value : values) {
            if (value.wideName == valueName)
                return &value;
        }
        return nullptr;
    }
};

struct OpenKey {
    std::shared_ptr<Key> key;
    REGSAM access;
};

struct Registry {
    std::shared_ptr<Key> localMachine;
    std::shared_ptr<Key> currentUser;
    std::shared_ptr<Key> users;
    std::map<ULONG_PTR, OpenKey> handles;
    ULONG_PTR nextHandle = 0x1000;
    // What a power cut would leave, from hostemu::TrackDurability on: each hive as RegFlushKey
    // (or the start of tracking) last wrote it. The machine's hives are its first-level keys
    // (SOFTWARE, System...); the user's keys are one hive, and so are the users'.
    bool trackingDurability = false;
    std::map<std::string, std::shared_ptr<Key>, hostemu::NameLess> durableMachine;
    std::shared_ptr<Key> durableUser;
    std::shared_ptr<Key> durableUsers;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::shared_ptr<Key> MakeRoot(const char* name) {
    auto root = std::make_shared<Key>();
    root->name = name;
    root->path = name;
    return root;
}

std::shared_ptr<Key> CreateChild(Key& parent, std::string_view name) {
    auto child = std::make_shared<Key>();
    child->name = std::string(name);
    child->path.reserve(parent.path.size() + 1 + name.size());
    child->path.append(parent.path).append(1, '\\').append(name);
    child->parent = &parent;
    parent.subkeys[UpperName(name)] = child;
    return child;
}

std::shared_ptr<Key> ChildOf(const Key& parent, std::string_view name) {
    auto it = parent.subkeys.find(name);
    return it == parent.subkeys.end() ? nullptr : it->second;
}

// Resolves a handle, predefined or opened, to its key and the access it was opened with.
LONG Resolve(HKEY hkey, std::shared_ptr<Key>& key, REGSAM& access) {
    Registry& registry = TheRegistry();
    access = KEY_ALL_ACCESS;
    if (hkey == HKEY_LOCAL_MACHINE) {
        key = registry.localMachine;
    } else if (hkey == HKEY_CURRENT_USER) {
        key = registry.currentUser;
    } else if (hkey == HKEY_USERS) {
        key = registry.users;
    } else if (hkey == HKEY_CLASSES_ROOT) {
        // The merged classes view; writes land in the machine's classes, as for a key that
        // the user's own classes do not hold.
        key = ChildOf(*registry.localMachine, "SOFTWARE");
        key = key ? ChildOf(*key, "Classes") : nullptr;
        if (!key)
            return ERROR_FILE_NOT_FOUND;
    } else {
        auto it = registry.handles.find(reinterpret_cast<ULONG_PTR>(hkey));
        if (it == registry.handles.end())
            return ERROR_INVALID_HANDLE;
        key = it->second.key;
        access = it->second.access;
    }
    return key->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

HKEY NewHandle(const std::shared_ptr<Key>& key, REGSAM access) {
    Registry& registry = TheRegistry();
    ULONG_PTR handle = registry.nextHandle;
    registry.nextHandle += 4;
    registry.handles[handle] = OpenKey{key, access};
    return reinterpret_cast<HKEY>(handle);
}

std::string FaultPath(const Key& key, const char* subKey) {
    std::string path = key.path;
    ForEachName(subKey, [&path](std::string_view name) {
        path.append(1, '\\').append(name);
        return true;
    });
    return path;
}

// The standing keys as the last full reset made them, each with the parent and the name it was
// filed under, so that the next reset can tell whether they are all still where it put them.
struct StandingKey {
    std::shared_ptr<Key> key;
    Key* parent;
    std::string name;
    std::string upperName;
};

std::vector<StandingKey>& StandingKeys() {
    static std::vector<StandingKey> keys;
    return keys;
}

void CreateStandingKey(const std::shared_ptr<Key>& root, const char* path) {
    Key* key = root.get();
    ForEachName(path, [&key](std::string_view name) {
        std::shared_ptr<Key> child = ChildOf(*key, name);
        if (!child) {
            child = CreateChild(*key, name);
            StandingKeys().push_back({child, key, std::string(name), UpperName(name)});
        }
        key = child.get();
        return true;
    });
}

void MarkDeleted(Key& key) {
    key.deleted = true;
    for (auto& entry : key.subkeys)
        MarkDeleted(*entry.second);
}

bool IsStanding(const Key& key) {
    for (const StandingKey& standing : StandingKeys()) {
        if (standing.key.get() == &key)
            return true;
    }
    return false;
}

// Deletes every key below `key` that is not a standing one, and every value of `key`.
void PruneToStanding(Key& key) {
    key.values.clear();
    for (auto it = key.subkeys.begin(); it != key.subkeys.end();) {
        if (IsStanding(*it->second)) {
            PruneToStanding(*it->second);
            ++it;
        } else {
            MarkDeleted(*it->second);
            it = key.subkeys.erase(it);
        }
    }
}

// A reset that keeps the standing keys when the run left them in place, so that it deletes only
// what the run added: most runs touch a few keys, and rebuilding the whole tree each time is
// what a fuzz target would otherwise spend its time on. False when a full reset is needed.
bool ResetToStandingKeys(Registry& registry) {
    if (!registry.localMachine || StandingKeys().empty())
        return false;
    for (const StandingKey& standing : StandingKeys()) {
        const Key& key = *standing.key;
        if (key.deleted || key.parent != standing.parent || key.name != standing.name)
            return false;
        auto it = standing.parent->subkeys.find(standing.upperName);
        if (it == standing.parent->subkeys.end() || it->second != standing.key)
            return false;
    }
    Registry fresh;
    fresh.localMachine = registry.localMachine;
    fresh.currentUser = registry.currentUser;
    fresh.users = registry.users;
    for (auto& root : {fresh.localMachine, fresh.currentUser, fresh.users})
        PruneToStanding(*root);
    registry = std::move(fresh);
    return true;
}

std::shared_ptr<Key> CopyTree(const Key& key, Key* parent) {
    auto copy = std::make_shared<Key>();
    copy->name = key.name;
    copy->path = key.path;
    copy->parent = parent;
    copy->values = key.values;
    for (const auto& entry : key.subkeys)
        copy->subkeys[entry.first] = CopyTree(*entry.second, copy.get());
    return copy;
}

// Makes the hive that holds `key` durable as it is now; the machine's root stands for all of
// its hives.
void KeepHive(const Key& key) {
    Registry& registry = TheRegistry();
    const Key* hive = &key;
    while (hive->parent && hive->parent->parent)
        hive = hive->parent;
    const Key* top = hive->parent ? hive->parent : hive;
    if (top == registry.localMachine.get()) {
        if (hive == top) {
            registry.durableMachine.clear();
            for (const auto& entry : top->subkeys)
                registry.durableMachine[entry.first] = CopyTree(*entry.second, nullptr);
        } else {
            registry.durableMachine[UpperName(hive->name)] = CopyTree(*hive, nullptr);
        }
    } else if (top == registry.currentUser.get()) {
        registry.durableUser = CopyTree(*top, nullptr);
    } else if (top == registry.users.get()) {
        registry.durableUsers = CopyTree(*top, nullptr);
    }
}

} // namespace

namespace hostemu {

namespace detail {

void TrackDurableRegistry() {
    Registry& registry = TheRegistry();
    registry.trackingDurability = true;
    for (auto& root : {registry.localMachine, registry.currentUser, registry.users})
        KeepHive(*root);
}

void CutRegistryPower(bool lose) {
    Registry& registry = TheRegistry();
    if (!registry.trackingDurability)
        return;
    if (lose) {
        // Every key the process had open is gone with it; the hives are read back from the disk.
        registry.handles.clear();
        Key& machine = *registry.localMachine;
        for (auto& entry : machine.subkeys)
            MarkDeleted(*entry.second);
        machine.subkeys.clear();
        for (const auto& entry : registry.durableMachine)
            machine.subkeys[entry.first] = CopyTree(*entry.second, &machine);
        for (auto [root, durable] : {std::pair{&registry.currentUser, &registry.durableUser},
                                     std::pair{&registry.users, &registry.durableUsers}}) {
            MarkDeleted(**root);
            *root = CopyTree(**durable, nullptr);
        }
    }
    // What is on the disk now is what the machine starts again with.
    TrackDurableRegistry();
}

void ResetRegistry() {
    Registry& registry = TheRegistry();
    if (ResetToStandingKeys(registry))
        return;
    for (auto& root : {registry.localMachine, registry.currentUser, registry.users}) {
        if (root)
            MarkDeleted(*root);
    }
    registry = Registry();
    StandingKeys().clear();
    registry.localMachine = MakeRoot("HKEY_LOCAL_MACHINE");
    registry.currentUser = MakeRoot("HKEY_CURRENT_USER");
    registry.users = MakeRoot("HKEY_USERS");
    // The keys a freshly installed Windows always has and setup relies on.
    CreateStandingKey(registry.localMachine, "SOFTWARE\\Classes");
    CreateStandingKey(registry.localMachine,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    CreateStandingKey(registry.localMachine,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer");
    CreateStandingKey(registry.localMachine, "System\\CurrentControlSet\\Control\\Session Manager");
    CreateStandingKey(registry.currentUser, "Software\\Microsoft\\Windows\\CurrentVersion");
}

} // namespace detail

std::string ExportRegistry() {
    return ExportRegistryKey(HKEY_LOCAL_MACHINE, nullptr) +
           ExportRegistryKey(HKEY_CURRENT_USER, nullptr, false);
}

} // namespace hostemu

namespace {

struct RegistryInit {
    RegistryInit() { hostemu::detail::ResetRegistry(); }
} registryInit;

} // namespace

namespace {

// The common start of the calls that take a sub-path: the handle's key, the call's fault on
// the full path, and Windows' refusal of a path that starts with a backslash.
LONG EnterPath(const char* function, HKEY hkey, LPCSTR subKey, std::shared_ptr<Key>& key,
               REGSAM& access) {
    if (LONG error = Resolve(hkey, key, access))
        return error;
    if (!hostemu::detail::CallsWatched())
        hostemu::detail::CountCall(function);
    else if (DWORD error = hostemu::detail::CheckFault(function, FaultPath(*key, subKey)))
        return static_cast<LONG>(error);
    if (subKey && subKey[0] == '\\')
        return ERROR_BAD_PATHNAME;
    // Windows limits a key's name to 255 characters ("Registry Element Size Limits" in the
    // platform's documentation); Wine accepts one more.
    bool namesFit =
        ForEachName(subKey, [](std::string_view name) { return name.size() <= kMaxKeyNameLength; });
    return namesFit ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

// Walks `key` down the sub-path as far as its keys exist. Answers the rest of the path from the
// first name that has no key, or null when the whole path exists.
const char* WalkExisting(std::shared_ptr<Key>& key, const char* subKey) {
    const char* missing = nullptr;
    ForEachName(subKey, [&key, &missing](std::string_view name) {
        std::shared_ptr<Key> child = ChildOf(*key, name);
        if (!child) {
            missing = name.data();
            return false;
        }
        key = std::move(child);
        return true;
    });
    return missing;
}

} // namespace

LONG RegOpenKeyExA(HKEY hkey, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::shared_ptr<Key> key;
    REGSAM parentAccess;
    if (LONG error = EnterPath("RegOpenKeyExA", hkey, subKey, key, parentAccess))
        return error;
    if (WalkExisting(key, subKey))
        return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(key, access);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hkey, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access,
                     LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::shared_ptr<Key> key;
    REGSAM parentAccess;
    if (LONG error = EnterPath("RegCreateKeyExA", hkey, subKey, key, parentAccess))
        return error;
    std::shared_ptr<Key> walk = key;
    const char* missing = WalkExisting(walk, subKey);
    // Nothing is created unless the whole path can be.
    if (missing && walk == key && !(parentAccess & KEY_CREATE_SUB_KEY))
        return ERROR_ACCESS_DENIED;
    ForEachName(missing, [&walk](std::string_view name) {
        walk = CreateChild(*walk, name);
        return true;
    });
    if (disposition)
        *disposition = missing ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(walk, access);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY hkey) {
    if (hkey == HKEY_LOCAL_MACHINE || hkey == HKEY_CURRENT_USER || hkey == HKEY_USERS ||
        hkey == HKEY_CLASSES_ROOT)
        return ERROR_SUCCESS;
    // A faulted close still lets the handle go, and reports the error.
    DWORD fault = hostemu::detail::CheckFault("RegCloseKey");
    auto& handles = TheRegistry().handles;
    auto it = handles.find(reinterpret_cast<ULONG_PTR>(hkey));
    if (it == handles.end())
        return ERROR_INVALID_HANDLE;
    handles.erase(it);
    return static_cast<LONG>(fault);
}

LONG RegDeleteKeyA(HKEY hkey, LPCSTR subKey) {
    if (subKey == nullptr)
        return ERROR_INVALID_PARAMETER;
    std::shared_ptr<Key> key;
    REGSAM access;
    if (LONG error = EnterPath("RegDeleteKeyA", hkey, subKey, key, access))
        return error;
    if (WalkExisting(key, subKey))
        return ERROR_FILE_NOT_FOUND;
    // The NT family refuses a key that still has subkeys; the 95 family deletes the key with
    // everything below it ("Windows 95/98/Me: RegDeleteKey deletes all subkeys and values",
    // as the platform's documentation of the call puts it). Roots cannot be deleted.
    bool wholeTree = hostemu::CurrentPlatformFamily() == hostemu::PlatformFamily::Win9x;
    if ((!wholeTree && !key->subkeys.empty()) || key->parent == nullptr)
        return ERROR_ACCESS_DENIED;
    MarkDeleted(*key);
    key->parent->subkeys.erase(UpperName(key->name));
    return ERROR_SUCCESS;
}

namespace {

// The common start of the calls on an open key: the handle's key, the call's fault, and the
// access right the call needs.
LONG Enter(const char* function, HKEY hkey, REGSAM needed, std::shared_ptr<Key>& key) {
    REGSAM access;
    if (LONG error = Resolve(hkey, key, access))
        return error;
    if (DWORD error = hostemu::detail::CheckFault(function, key->path))
        return static_cast<LONG>(error);
    return (access & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// Query and enumeration hand out a value alike: too small a buffer is left untouched and the
// caller learns the size it needs.
LONG CopyData(const Value& value, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    if (type)
        *type = value.type;
    DWORD size = static_cast<DWORD>(value.data.size());
    LONG result = ERROR_SUCCESS;
    if (data) {
        if (*dataSize < size)
            result = ERROR_MORE_DATA;
        else if (size)
            std::memcpy(data, value.data.data(), size);
    }
    if (dataSize)
        *dataSize = size;
    return result;
}

// Both enumerations answer a name the same way: too small a buffer is an error that leaves
// the length as it was; otherwise the length comes back without the zero.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD length) {
    if (!buffer || !length)
        return ERROR_INVALID_PARAMETER;
    if (name.size() + 1 > *length)
        return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *length = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// A value as a call of the given width sees it, converted only when the widths differ.
LONG CopyValue(const Value& value, bool wide, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    if (value.wide == wide || !IsStringType(value.type))
        return CopyData(value, type, data, dataSize);
    return CopyData(Viewed(value, wide), type, data, dataSize);
}

} // namespace

LONG RegDeleteValueA(HKEY hkey, LPCSTR valueName) {
    std::shared_ptr<Key> key;
    if (LONG error = Enter("RegDeleteValueA", hkey, KEY_SET_VALUE, key))
        return error;
    Value* value = key->FindValue(valueName);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    key->values.erase(key->values.begin() + (value - key->values.data()));
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hkey, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    std::shared_ptr<Key> key;
    if (LONG error = Enter("RegQueryValueExA", hkey, KEY_QUERY_VALUE, key))
        return error;
    const Value* value = key->FindValue(valueName);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    return CopyValue(*value, false, type, data, dataSize);
}

namespace {

template <typename Char>
LONG SetValue(const char* function, HKEY hkey, const Char* valueName, DWORD type, const BYTE* data,
              DWORD dataSize, bool wide) {
    std::shared_ptr<Key> key;
    if (LONG error = Enter(function, hkey, KEY_SET_VALUE, key))
        return error;
    if (!data && dataSize)
        return ERROR_NOACCESS;
    if (Value* value = key->FindValue(valueName)) {
        value->type = type;
        value->data.assign(data, data + dataSize);
        value->wide = wide;
    } else if constexpr (std::is_same_v<Char, char>) {
        key->values.push_back(Value{valueName ? valueName : "", type,
                                    std::vector<BYTE>(data, data + dataSize), wide});
    } else {
        bool lossy = false;
        Value added{NarrowName(valueName, &lossy), type, std::vector<BYTE>(data, data + dataSize),
                    wide};
        if (lossy)
            added.wideName = valueName;
        key->values.push_back(std::move(added));
    }
    return ERROR_SUCCESS;
}

} // namespace

LONG RegSetValueExA(HKEY hkey, LPCSTR valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    return SetValue("RegSetValueExA", hkey, valueName, type, data, dataSize, false);
}

LONG RegQueryValueExW(HKEY hkey, const WCHAR* valueName, LPDWORD, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    std::shared_ptr<Key> key;
    if (LONG error = Enter("RegQueryValueExW", hkey, KEY_QUERY_VALUE, key))
        return error;
    const Value* value = key->FindValue(valueName);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    return CopyValue(*value, true, type, data, dataSize);
}

LONG RegSetValueExW(HKEY hkey, const WCHAR* valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    return SetValue("RegSetValueExW", hkey, valueName, type, data, dataSize, true);
}

LONG RegEnumKeyExA(HKEY hkey, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPSTR keyClass,
                   LPDWORD classLength, PFILETIME lastWriteTime) {
    std::shared_ptr<Key> key;
    if (LONG error = Enter("RegEnumKeyExA", hkey, KEY_ENUMERATE_SUB_KEYS, key))
        return error;
    if (index >= key->subkeys.size())
        return ERROR_NO_MORE_ITEMS;
    auto it = key->subkeys.begin();
    std::advance(it, index);
    LONG result = CopyName(it->second->name, name, nameLength);
    if (result == ERROR_SUCCESS) {
        if (keyClass && classLength && *classLength)
            keyClass[0] = 0;
        if (classLength)
            *classLength = 0;
        if (lastWriteTime)
            *lastWriteTime = FILETIME{0, 0};
    }
    return result;
}

LONG RegEnumValueA(HKEY hkey, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPDWORD type,
                   LPBYTE data, LPDWORD dataSize) {
    std::shared_ptr<Key> key;
    if (LONG error = Enter("RegEnumValueA", hkey, KEY_QUERY_VALUE, key))
        return error;
    if (index >= key->values.size())
        return ERROR_NO_MORE_ITEMS;
    const Value& value = key->values[index];
    if (LONG error = CopyName(value.name, name, nameLength))
        return error;
    return CopyValue(value, false, type, data, dataSize);
}

// Writes the key's hive to the disk; the emulation's registry is in memory, so this matters
// only to what a power cut keeps (hostemu::TrackDurability).
LONG RegFlushKey(HKEY hkey) {
    std::shared_ptr<Key> key;
    if (LONG error = Enter("RegFlushKey", hkey, 0, key))
        return error;
    if (TheRegistry().trackingDurability)
        KeepHive(*key);
    return ERROR_SUCCESS;
}
