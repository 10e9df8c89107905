#include "app/file_association.h"
#include <cstdio>
#include <cstring>
#include "framework/app.h"
#include "framework/msgbox.h"

const char* const kAssociatedExtensions[3] = {".nwv", ".d00", ".d01"};
const char kAssociationProgId[] = "Zentrix.001";
const char kAssociationCommandKey[] = "Zentrix.001\\shell\\open\\command";

namespace {

const char kPromptFormat[] =
    "Vorplex.exe is not default player for %s files.\nDo you want Vorplex.exe be your default player?";

enum : DWORD {
    kPathSize = 300,  // the executable's path, and each command built from it
    // Room for a value read from the registry: any command the player writes
    // (shorter than kPathSize, with or without its terminator) reads back whole.
    kValueSize = kPathSize,
    kKeyNameSize = 200,  // the command key's name, built from a ProgID
    kPromptSize = 256,
};

// The path followed by ` "%1"`; false when that does not fit the command buffer.
// A path with a blank in it (a long path where the volume keeps no short
// names) is quoted: unquoted, the shell may start whatever file the part before
// the blank names.
bool MakeCommand(char (&command)[kPathSize], const char* path)
{
    const int n = strchr(path, ' ') ? snprintf(command, sizeof command, "\"%s\" \"%%1\"", path)
                                    : snprintf(command, sizeof command, "%s \"%%1\"", path);
    return n >= 0 && n < static_cast<int>(sizeof command);
}

// The default value of HKEY_CLASSES_ROOT\subKey as a zero-terminated string.
// The value is taken at the length read: it need not carry its own
// terminator (the player writes none), so one is added here, in room of its
// own, and a value with a zero inside is no single string.
bool ReadDefaultString(AssociationEnv& env, const char* subKey, char (&text)[kValueSize + 1])
{
    HKEY key = nullptr;
    if (env.OpenKeyForRead(HKEY_CLASSES_ROOT, subKey, &key) != ERROR_SUCCESS) return false;
    BYTE data[kValueSize];
    DWORD type = REG_NONE, size = sizeof data;
    const LONG status = env.QueryDefault(key, &type, data, &size);
    env.CloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ || size > sizeof data) return false;
    if (size > 0 && data[size - 1] == 0) --size;
    if (memchr(data, 0, size)) return false;
    memcpy(text, data, size);
    text[size] = '\0';
    return true;
}

}  // namespace

bool IsAssociated(AssociationEnv& env, const char* extension, const char* command)
{
    char progId[kValueSize + 1];
    if (!ReadDefaultString(env, extension, progId)) return false;
    // Any ProgID counts, as long as its open command is ours. One whose key
    // name does not fit cannot be looked up, so it is not ours.
    char keyName[kKeyNameSize];
    const int n = snprintf(keyName, sizeof keyName, "%s\\shell\\open\\command", progId);
    if (n < 0 || n >= static_cast<int>(sizeof keyName)) return false;
    char registered[kValueSize + 1];
    if (!ReadDefaultString(env, keyName, registered)) return false;
    return lstrcmpiA(registered, command) == 0;
}

namespace {

// A key of HKEY_CLASSES_ROOT made for writing; *root says where it was made.
// Windows makes a key that is in neither view of HKEY_CLASSES_ROOT under the
// machine's classes, which a standard user may not write (and the player is
// installed per user): then it goes to the user's own classes, which
// HKEY_CLASSES_ROOT shows too.
LONG CreateClassKey(AssociationEnv& env, const char* subKey, HKEY* root, HKEY* out)
{
    *root = HKEY_CLASSES_ROOT;
    const LONG status = env.CreateKeyForWrite(HKEY_CLASSES_ROOT, subKey, out);
    if (status != ERROR_ACCESS_DENIED) return status;
    char userKey[kKeyNameSize];
    const int n = snprintf(userKey, sizeof userKey, "Software\\Classes\\%s", subKey);
    if (n < 0 || n >= static_cast<int>(sizeof userKey)) return status;
    *root = HKEY_CURRENT_USER;
    return env.CreateKeyForWrite(HKEY_CURRENT_USER, userKey, out);
}

}  // namespace

LONG RegisterAssociation(AssociationEnv& env, const char* extension, const char* command)
{
    HKEY key = nullptr, extensionRoot = nullptr, commandRoot = nullptr;
    LONG status = CreateClassKey(env, extension, &extensionRoot, &key);
    if (status != ERROR_SUCCESS) return status;
    // Written without the terminating zero; the reader takes the length as stored.
    env.SetDefault(key, REG_SZ, reinterpret_cast<const BYTE*>(kAssociationProgId),
                   static_cast<DWORD>(strlen(kAssociationProgId)));
    env.CloseKey(key);

    status = CreateClassKey(env, kAssociationCommandKey, &commandRoot, &key);
    if (status != ERROR_SUCCESS) {
        // An extension naming a ProgID without a command would open nothing.
        char userKey[kKeyNameSize];
        snprintf(userKey, sizeof userKey, "Software\\Classes\\%s", extension);
        env.DeleteKey(extensionRoot, extensionRoot == HKEY_CLASSES_ROOT ? extension : userKey);
        return status;
    }
    status = env.SetDefault(key, REG_SZ, reinterpret_cast<const BYTE*>(command), static_cast<DWORD>(strlen(command)));
    env.CloseKey(key);
    return status;
}

void CheckFileAssociations(AssociationEnv& env)
{
    char path[kPathSize];
    const DWORD n = env.ModuleFileName(path, sizeof path);
    // A cut path names another file; a command that does not fit would be cut too.
    char longCommand[kPathSize];
    if (n == 0 || n >= sizeof path || !MakeCommand(longCommand, path)) return;

    char shortPath[kPathSize];
    char shortCommand[kPathSize];
    const DWORD s = env.ShortPathName(path, shortPath, sizeof shortPath);
    if (s == 0 || s >= sizeof shortPath || !MakeCommand(shortCommand, shortPath)) strcpy(shortCommand, longCommand);

    for (const char* extension : kAssociatedExtensions) {
        if (IsAssociated(env, extension, shortCommand) || IsAssociated(env, extension, longCommand)) continue;
        char prompt[kPromptSize];
        snprintf(prompt, sizeof prompt, kPromptFormat, extension);
        // Declining one type ends the asking for this start.
        if (env.Ask(prompt, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
        RegisterAssociation(env, extension, shortCommand);
    }
}

void CheckFileAssociations()
{
    SystemAssociationEnv env;
    CheckFileAssociations(env);
}

LONG SystemAssociationEnv::OpenKeyForRead(HKEY root, const char* subKey, HKEY* out)
{
    return RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, out);
}

LONG SystemAssociationEnv::QueryDefault(HKEY key, DWORD* type, BYTE* data, DWORD* size)
{
    return RegQueryValueExA(key, nullptr, nullptr, type, data, size);
}

LONG SystemAssociationEnv::CreateKeyForWrite(HKEY root, const char* subKey, HKEY* out)
{
    return RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, out, nullptr);
}

LONG SystemAssociationEnv::SetDefault(HKEY key, DWORD type, const BYTE* data, DWORD size)
{
    return RegSetValueExA(key, nullptr, 0, type, data, size);
}

LONG SystemAssociationEnv::DeleteKey(HKEY root, const char* subKey) { return RegDeleteKeyA(root, subKey); }

void SystemAssociationEnv::CloseKey(HKEY key) { RegCloseKey(key); }

DWORD SystemAssociationEnv::ModuleFileName(char* out, DWORD size)
{
    CWinApp* app = AfxGetApp();
    return GetModuleFileNameA(app ? app->m_hInstance : nullptr, out, size);
}

DWORD SystemAssociationEnv::ShortPathName(const char* path, char* out, DWORD size)
{
    return GetShortPathNameA(path, out, size);
}

int SystemAssociationEnv::Ask(const char* text, UINT type) { return fw::AppMessageBox(text, type); }
