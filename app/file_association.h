// The file-type association: at every start the player checks that it is the
// program that opens the three recording types, and offers to become it for
// each type that is not.
#pragma once
#include <windows.h>

// What the check needs of the system: a few registry operations, the
// program's own path and a yes/no question. The program runs it on the real
// system (SystemAssociationEnv); tests run it on a scripted one.
class AssociationEnv {
public:
    virtual ~AssociationEnv() = default;

    virtual LONG OpenKeyForRead(HKEY root, const char* subKey, HKEY* out) = 0;
    // The key's default value. *size: room in data on entry, bytes read on return.
    virtual LONG QueryDefault(HKEY key, DWORD* type, BYTE* data, DWORD* size) = 0;
    virtual LONG CreateKeyForWrite(HKEY root, const char* subKey, HKEY* out) = 0;
    virtual LONG SetDefault(HKEY key, DWORD type, const BYTE* data, DWORD size) = 0;
    virtual LONG DeleteKey(HKEY root, const char* subKey) = 0;
    virtual void CloseKey(HKEY key) = 0;

    // As GetModuleFileNameA and GetShortPathNameA.
    virtual DWORD ModuleFileName(char* out, DWORD size) = 0;
    virtual DWORD ShortPathName(const char* path, char* out, DWORD size) = 0;

    // The user's answer (IDYES, IDNO...) to a question captioned with the application's name.
    virtual int Ask(const char* text, UINT type) = 0;
};

// HKEY_CLASSES_ROOT, the application's own executable, a message box.
class SystemAssociationEnv : public AssociationEnv {
public:
    LONG OpenKeyForRead(HKEY root, const char* subKey, HKEY* out) override;
    LONG QueryDefault(HKEY key, DWORD* type, BYTE* data, DWORD* size) override;
    LONG CreateKeyForWrite(HKEY root, const char* subKey, HKEY* out) override;
    LONG SetDefault(HKEY key, DWORD type, const BYTE* data, DWORD size) override;
    LONG DeleteKey(HKEY root, const char* subKey) override;
    void CloseKey(HKEY key) override;
    DWORD ModuleFileName(char* out, DWORD size) override;
    DWORD ShortPathName(const char* path, char* out, DWORD size) override;
    int Ask(const char* text, UINT type) override;
};

extern const char* const kAssociatedExtensions[3];  // ".nwv", ".d00", ".d01", in the order they are offered
extern const char kAssociationProgId[];             // "Zentrix.001"
extern const char kAssociationCommandKey[];         // "Zentrix.001\shell\open\command"

// The whole check, on the real system. Skipped when the program's own path
// cannot be had or is too long for its open command.
void CheckFileAssociations();
void CheckFileAssociations(AssociationEnv& env);

// Whether HKEY_CLASSES_ROOT\extension leads to an open command equal to
// `command`, letter case ignored.
bool IsAssociated(AssociationEnv& env, const char* extension, const char* command);

// Makes `extension` open with `command`, under the player's ProgID.
LONG RegisterAssociation(AssociationEnv& env, const char* extension, const char* command);
