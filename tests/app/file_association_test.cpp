// The file-type association: what counts as associated, what is offered and
// written, on a scripted registry; then one round trip on the real registry.
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>
#include "app/file_association.h"
#include "tests/support/test_support.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes BytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes WithZero(const std::string& s) {
    Bytes b = BytesOf(s);
    b.push_back(0);
    return b;
}

struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const { return lstrcmpiA(a.c_str(), b.c_str()) < 0; }
};

// HKEY_CLASSES_ROOT as a map of key names to default values, with the
// program's paths and the user's answers scripted. Strict where the real
// registry is: a key opened for reading cannot be written, a handle must be
// open to be used and is closed once.
class FakeEnv : public AssociationEnv {
public:
    struct Value {
        DWORD type;
        Bytes data;
    };
    std::map<std::string, std::optional<Value>, CaseLess> keys;
    std::set<std::string, CaseLess> failCreate;
    std::string modulePath = "C:\\Program Files\\Vorplex Player\\Vorplex.exe";
    std::string shortPath = "C:\\PROGRA~1\\VORPLE~1\\Vorplex.exe";  // empty: none to be had
    std::vector<int> answers;           // given in turn; No once they run out
    std::vector<std::string> prompts;
    std::vector<UINT> promptTypes;
    std::vector<std::string> looked;    // every key opened or created, in order
    int openHandles = 0;

    std::string LongCommand() const { return modulePath + " \"%1\""; }
    std::string ShortCommand() const { return shortPath + " \"%1\""; }

    void SetDefaultValue(const std::string& key, DWORD type, Bytes data) { keys[key] = Value{type, std::move(data)}; }
    // As the player writes them: REG_SZ without a terminator.
    void Associate(const std::string& extension, const std::string& progId, const std::string& command) {
        SetDefaultValue(extension, REG_SZ, BytesOf(progId));
        SetDefaultValue(progId + "\\shell\\open\\command", REG_SZ, BytesOf(command));
    }
    std::optional<Value> DefaultOf(const std::string& key) const {
        auto it = keys.find(key);
        return it == keys.end() ? std::nullopt : it->second;
    }
    bool LookedAt(const std::string& key) const {
        return std::any_of(looked.begin(), looked.end(), [&](const std::string& k) { return !lstrcmpiA(k.c_str(), key.c_str()); });
    }
    std::string Prompt(const char* extension) const {
        return std::string("Vorplex.exe is not default player for ") + extension +
               " files.\nDo you want Vorplex.exe be your default player?";
    }

    LONG OpenKeyForRead(HKEY root, const char* subKey, HKEY* out) override {
        looked.push_back(subKey);
        if (root != HKEY_CLASSES_ROOT || !keys.count(subKey)) return ERROR_FILE_NOT_FOUND;
        return Open(subKey, false, out);
    }
    LONG QueryDefault(HKEY key, DWORD* type, BYTE* data, DWORD* size) override {
        Handle* h = Find(key);
        if (!h) return ERROR_INVALID_HANDLE;
        if (h->write) return ERROR_ACCESS_DENIED;
        const std::optional<Value>& value = keys[h->name];
        if (!value) return ERROR_FILE_NOT_FOUND;
        *type = value->type;
        const DWORD room = *size;
        *size = static_cast<DWORD>(value->data.size());
        if (room < value->data.size()) return ERROR_MORE_DATA;
        std::copy(value->data.begin(), value->data.end(), data);
        return ERROR_SUCCESS;
    }
    LONG CreateKeyForWrite(HKEY root, const char* subKey, HKEY* out) override {
        looked.push_back(subKey);
        if (root != HKEY_CLASSES_ROOT || failCreate.count(subKey)) return ERROR_ACCESS_DENIED;
        // Creating a key creates the keys above it.
        std::string name = subKey;
        for (size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1))
            keys.emplace(name.substr(0, at), std::nullopt);
        keys.emplace(name, std::nullopt);
        return Open(name, true, out);
    }
    LONG SetDefault(HKEY key, DWORD type, const BYTE* data, DWORD size) override {
        Handle* h = Find(key);
        if (!h) return ERROR_INVALID_HANDLE;
        if (!h->write) return ERROR_ACCESS_DENIED;
        keys[h->name] = Value{type, Bytes(data, data + size)};
        return ERROR_SUCCESS;
    }
    LONG DeleteKey(HKEY root, const char* subKey) override {
        if (root != HKEY_CLASSES_ROOT || !keys.erase(subKey)) return ERROR_FILE_NOT_FOUND;
        deleted.push_back(subKey);
        return ERROR_SUCCESS;
    }
    void CloseKey(HKEY key) override {
        Handle* h = Find(key);
        if (!h) {
            ADD_FAILURE() << "closing a key that is not open";
            return;
        }
        handles.erase(key);
        --openHandles;
    }
    DWORD ModuleFileName(char* out, DWORD size) override {
        if (modulePath.empty() || size == 0) return 0;
        // As the system does: cut to fit, terminated, and the whole size returned.
        const size_t n = std::min<size_t>(modulePath.size(), size - 1);
        memcpy(out, modulePath.data(), n);
        out[n] = '\0';
        return modulePath.size() < size ? static_cast<DWORD>(n) : size;
    }
    DWORD ShortPathName(const char* path, char* out, DWORD size) override {
        EXPECT_EQ(modulePath, path);
        if (shortPath.empty()) return 0;
        if (shortPath.size() >= size) return static_cast<DWORD>(shortPath.size() + 1);
        memcpy(out, shortPath.c_str(), shortPath.size() + 1);
        return static_cast<DWORD>(shortPath.size());
    }
    int Ask(const char* text, UINT type) override {
        prompts.push_back(text);
        promptTypes.push_back(type);
        if (answers.empty()) return IDNO;
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }

    std::vector<std::string> deleted;

private:
    struct Handle {
        std::string name;
        bool write;
    };
    LONG Open(const std::string& name, bool write, HKEY* out) {
        HKEY h = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1000 + 8 * ++nextHandle));
        handles[h] = Handle{name, write};
        ++openHandles;
        *out = h;
        return ERROR_SUCCESS;
    }
    Handle* Find(HKEY key) {
        auto it = handles.find(key);
        return it == handles.end() ? nullptr : &it->second;
    }
    std::map<HKEY, Handle> handles;
    int nextHandle = 0;
};

class Association : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(0, env.openHandles) << "every key opened is closed"; }
    FakeEnv env;
};

TEST_F(Association, WithNoKeyForTheFirstTypeItIsOfferedFirst) {
    CheckFileAssociations(env);
    ASSERT_EQ(1u, env.prompts.size());
    EXPECT_EQ(env.Prompt(".nwv"), env.prompts[0]);
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), env.promptTypes[0]);
}

TEST_F(Association, OnlyAPlainStringLeadingToTheSameCommandCounts) {
    const std::string command = env.ShortCommand();
    env.Associate(".nwv", "Zentrix.001", command);
    EXPECT_TRUE(IsAssociated(env, ".nwv", command.c_str()));

    env.SetDefaultValue(".nwv", REG_EXPAND_SZ, BytesOf("Zentrix.001"));
    EXPECT_FALSE(IsAssociated(env, ".nwv", command.c_str())) << "extension value REG_EXPAND_SZ";
    env.Associate(".nwv", "Zentrix.001", command);
    env.SetDefaultValue("Zentrix.001\\shell\\open\\command", REG_EXPAND_SZ, BytesOf(command));
    EXPECT_FALSE(IsAssociated(env, ".nwv", command.c_str())) << "command value REG_EXPAND_SZ";

    env.Associate(".nwv", "Zentrix.001", env.shortPath + " %1");
    EXPECT_FALSE(IsAssociated(env, ".nwv", command.c_str())) << "%1 without quotes";
    env.Associate(".nwv", "Zentrix.001", command + " ");
    EXPECT_FALSE(IsAssociated(env, ".nwv", command.c_str())) << "a trailing blank";
    env.Associate(".nwv", "Zentrix.001", "C:\\Other\\Player.exe \"%1\"");
    EXPECT_FALSE(IsAssociated(env, ".nwv", command.c_str())) << "another program";
    env.SetDefaultValue("Zentrix.001\\shell\\open\\command", REG_SZ, BytesOf(command + std::string(1, '\0') + "x"));
    EXPECT_FALSE(IsAssociated(env, ".nwv", command.c_str())) << "a zero inside the value";
    env.keys.erase("Zentrix.001\\shell\\open\\command");
    EXPECT_FALSE(IsAssociated(env, ".nwv", command.c_str())) << "no command key";
    env.keys[".nwv"] = std::nullopt;
    EXPECT_FALSE(IsAssociated(env, ".nwv", command.c_str())) << "extension key without a value";

    // Another ProgID is fine as long as its command is ours.
    env.Associate(".nwv", "Other.Recording", command);
    EXPECT_TRUE(IsAssociated(env, ".nwv", command.c_str()));
    // A value with its terminator, as other programs write them.
    env.SetDefaultValue(".nwv", REG_SZ, WithZero("Zentrix.001"));
    env.Associate(".nwv", "Zentrix.001", command);
    env.SetDefaultValue("Zentrix.001\\shell\\open\\command", REG_SZ, WithZero(command));
    EXPECT_TRUE(IsAssociated(env, ".nwv", command.c_str()));
}

TEST_F(Association, EitherFormOfTheOwnCommandInAnyCaseAsksNothing) {
    std::string upper = env.ShortCommand();
    CharUpperA(&upper[0]);
    env.Associate(".nwv", "Zentrix.001", upper);
    env.Associate(".d00", "Long.Form", env.LongCommand());
    env.Associate(".d01", "Zentrix.001", upper);
    CheckFileAssociations(env);
    EXPECT_TRUE(env.prompts.empty());
}

TEST_F(Association, NoForTheFirstTypeEndsTheCheck) {
    env.answers = {IDNO};
    CheckFileAssociations(env);
    EXPECT_EQ(std::vector<std::string>{env.Prompt(".nwv")}, env.prompts);
    EXPECT_FALSE(env.LookedAt(".d00"));
    EXPECT_FALSE(env.LookedAt(".d01"));
    EXPECT_FALSE(env.DefaultOf(".nwv")) << "nothing written";

    // Any answer but Yes, likewise; a type declined once is offered again next time.
    env.answers = {IDCANCEL};
    CheckFileAssociations(env);
    EXPECT_EQ(2u, env.prompts.size());
    EXPECT_EQ(env.Prompt(".nwv"), env.prompts[1]);
}

TEST_F(Association, ThreeYesAnswersWriteTheShortCommandAndTheNextStartAsksNothing) {
    env.answers = {IDYES, IDYES, IDYES};
    CheckFileAssociations(env);
    EXPECT_EQ((std::vector<std::string>{env.Prompt(".nwv"), env.Prompt(".d00"), env.Prompt(".d01")}), env.prompts);
    for (const char* extension : {".nwv", ".d00", ".d01"}) {
        auto value = env.DefaultOf(extension);
        ASSERT_TRUE(value) << extension;
        EXPECT_EQ(DWORD(REG_SZ), value->type);
        EXPECT_EQ(BytesOf("Zentrix.001"), value->data) << "11 bytes, no terminator";
    }
    auto command = env.DefaultOf("Zentrix.001\\shell\\open\\command");
    ASSERT_TRUE(command);
    EXPECT_EQ(DWORD(REG_SZ), command->type);
    EXPECT_EQ(BytesOf("C:\\PROGRA~1\\VORPLE~1\\Vorplex.exe \"%1\""), command->data) << "short form, no terminator";

    env.prompts.clear();
    CheckFileAssociations(env);
    EXPECT_TRUE(env.prompts.empty());
}

TEST_F(Association, AfterYesTheNextTypeIsCheckedAtOnce) {
    env.Associate(".d00", "Zentrix.001", "C:\\Other\\Player.exe \"%1\"");
    env.answers = {IDYES, IDYES};
    CheckFileAssociations(env);
    // Writing .nwv's command made .d00, which names the same ProgID, ours too.
    EXPECT_EQ((std::vector<std::string>{env.Prompt(".nwv"), env.Prompt(".d01")}), env.prompts);
}

TEST_F(Association, WithoutAShortFormTheLongOneIsWritten) {
    env.shortPath.clear();
    env.answers = {IDYES};
    CheckFileAssociations(env);
    EXPECT_EQ(BytesOf(env.LongCommand()), env.DefaultOf("Zentrix.001\\shell\\open\\command")->data);
}

TEST_F(Association, FailuresToWriteAreQuietAndTheCheckGoesOn) {
    env.failCreate = {"Zentrix.001\\shell\\open\\command"};
    env.answers = {IDYES, IDYES, IDNO};
    CheckFileAssociations(env);
    EXPECT_EQ((std::vector<std::string>{".nwv", ".d00"}), env.deleted) << "no extension left naming a ProgID without a command";
    EXPECT_FALSE(env.keys.count(".nwv"));
    EXPECT_EQ(3u, env.prompts.size());

    FakeEnv failingExtension;
    failingExtension.failCreate = {".nwv"};
    failingExtension.answers = {IDYES, IDNO};
    CheckFileAssociations(failingExtension);
    EXPECT_FALSE(failingExtension.LookedAt("Zentrix.001\\shell\\open\\command")) << "nothing written after the failure";
    EXPECT_EQ(2u, failingExtension.prompts.size());
    EXPECT_EQ(0, failingExtension.openHandles);
}

TEST_F(Association, WithoutAUsablePathNothingIsLookedAt) {
    env.modulePath.clear();
    CheckFileAssociations(env);
    EXPECT_TRUE(env.looked.empty());
    EXPECT_TRUE(env.prompts.empty());

    // 294 characters and ` "%1"` fill the 300-byte command exactly; one more does not fit.
    FakeEnv fits;
    fits.modulePath = "C:\\" + std::string(294 - 3 - 4, 'p') + ".exe";
    fits.shortPath.clear();
    fits.answers = {IDYES};
    CheckFileAssociations(fits);
    ASSERT_EQ(294u, fits.modulePath.size());
    EXPECT_EQ(BytesOf(fits.LongCommand()), fits.DefaultOf("Zentrix.001\\shell\\open\\command")->data);

    for (size_t length : {295u, 299u, 300u, 420u}) {
        FakeEnv tooLong;
        tooLong.modulePath = "C:\\" + std::string(length - 3 - 4, 'p') + ".exe";
        tooLong.shortPath = "C:\\PPPPPP~1.EXE";
        CheckFileAssociations(tooLong);
        EXPECT_TRUE(tooLong.looked.empty()) << length;
        EXPECT_TRUE(tooLong.prompts.empty()) << length;
    }
}

TEST_F(Association, ValuesAtTheLimitsOfTheBuffers) {
    // A command of exactly 256 bytes, stored without a terminator: read whole.
    env.modulePath = "C:\\" + std::string(251 - 3 - 4, 'q') + ".exe";
    env.shortPath.clear();
    const std::string command = env.LongCommand();
    ASSERT_EQ(256u, command.size());
    env.Associate(".nwv", "Zentrix.001", command);
    EXPECT_TRUE(IsAssociated(env, ".nwv", command.c_str()));
    env.SetDefaultValue("Zentrix.001\\shell\\open\\command", REG_SZ, WithZero(command));
    EXPECT_FALSE(IsAssociated(env, ".nwv", command.c_str())) << "257 bytes do not fit";

    // A ProgID whose command key name just fits 200 bytes, and one that does not.
    const std::string suffix = "\\shell\\open\\command";
    const std::string fits(199 - suffix.size(), 'z');
    env.Associate(".d00", fits, command);
    EXPECT_TRUE(IsAssociated(env, ".d00", command.c_str()));
    const std::string tooLong = fits + "z";
    env.Associate(".d01", tooLong, command);
    EXPECT_FALSE(IsAssociated(env, ".d01", command.c_str()));
    const std::string longest(256, 'z');  // unterminated, the most a read gives
    env.Associate(".d01", longest, command);
    EXPECT_FALSE(IsAssociated(env, ".d01", command.c_str()));
    EXPECT_FALSE(env.LookedAt(tooLong + suffix));
    EXPECT_FALSE(env.LookedAt(longest + suffix));
}

// The system's side: this process's executable in both forms.
TEST(AssociationSystem, OwnPathInFullAndShortForm) {
    SystemAssociationEnv env;
    char path[300] = "", shortPath[300] = "";
    const DWORD n = env.ModuleFileName(path, sizeof path);
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, sizeof path);
    EXPECT_EQ(n, strlen(path));
    const std::string name = path;
    EXPECT_EQ(0, lstrcmpiA(name.substr(name.size() - strlen("app_tests.exe")).c_str(), "app_tests.exe"));
    ASSERT_GT(env.ShortPathName(path, shortPath, sizeof shortPath), 0u);
    char longAgain[300] = "";
    ASSERT_GT(GetLongPathNameA(shortPath, longAgain, sizeof longAgain), 0u);
    EXPECT_EQ(0, lstrcmpiA(path, longAgain));
}

// Restores, at the end of the test whatever its outcome, the keys of
// HKEY_CLASSES_ROOT that the check may write: values as they were, keys that
// did not exist removed.
class RegistrySnapshot {
public:
    RegistrySnapshot() {
        for (const char* key : kTouched) m_saved.push_back(Save(key));
    }
    ~RegistrySnapshot() {
        // Deepest first, so that a key to delete has no subkey left.
        for (size_t i = m_saved.size(); i-- > 0;) Restore(m_saved[i]);
    }

private:
    static constexpr const char* kTouched[] = {".nwv", ".d00", ".d01", "Zentrix.001", "Zentrix.001\\shell",
                                               "Zentrix.001\\shell\\open", "Zentrix.001\\shell\\open\\command"};
    struct Saved {
        std::string key;
        bool existed = false;
        bool hadValue = false;
        DWORD type = 0;
        Bytes data;
    };
    static Saved Save(const char* key) {
        Saved s;
        s.key = key;
        HKEY h;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return s;
        s.existed = true;
        DWORD size = 0;
        if (RegQueryValueExA(h, nullptr, nullptr, &s.type, nullptr, &size) == ERROR_SUCCESS) {
            s.data.resize(size);
            s.hadValue = RegQueryValueExA(h, nullptr, nullptr, &s.type, s.data.data(), &size) == ERROR_SUCCESS;
            s.data.resize(size);
        }
        RegCloseKey(h);
        return s;
    }
    static void Restore(const Saved& s) {
        if (!s.existed) {
            RegDeleteKeyA(HKEY_CLASSES_ROOT, s.key.c_str());
            return;
        }
        HKEY h;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, s.key.c_str(), 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
        if (s.hadValue)
            RegSetValueExA(h, nullptr, 0, s.type, s.data.data(), static_cast<DWORD>(s.data.size()));
        else
            RegDeleteValueA(h, nullptr);
        RegCloseKey(h);
    }
    std::vector<Saved> m_saved;
};

// The system's registry, with the executable stood in for by a file of a
// long name of its own: parallel tests of this same program then never find
// themselves registered.
class StandInExecutable : public SystemAssociationEnv {
public:
    StandInExecutable() {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        m_dir = std::string(temp) + "Vorplex association " + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_dir.c_str(), nullptr);
        m_path = m_dir + "\\Vorplex stand-in player.exe";
        HANDLE file = CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    ~StandInExecutable() override {
        DeleteFileA(m_path.c_str());
        RemoveDirectoryA(m_dir.c_str());
    }
    DWORD ModuleFileName(char* out, DWORD size) override {
        if (m_path.size() >= size) return 0;
        memcpy(out, m_path.c_str(), m_path.size() + 1);
        return static_cast<DWORD>(m_path.size());
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_dir, m_path;
};

std::optional<std::pair<DWORD, Bytes>> ReadDefault(const char* key) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return std::nullopt;
    BYTE data[512];
    DWORD type = 0, size = sizeof data;
    const LONG status = RegQueryValueExA(h, nullptr, nullptr, &type, data, &size);
    RegCloseKey(h);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return std::make_pair(type, Bytes(data, data + size));
}

// Trailing zero aside: the system may add one when it hands a string back.
std::string AsText(const Bytes& data) {
    std::string s(data.begin(), data.end());
    if (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

TEST(AssociationRegistry, RoundTripOnTheSystemRegistry) {
    RegistrySnapshot snapshot;
    // The extensions may name the ProgID already (a prepared prefix): writing
    // the first one's command would then make the others ours too. Without
    // their values, each is offered in turn.
    for (const char* extension : {".nwv", ".d00", ".d01"}) {
        HKEY h;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension, 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) continue;
        RegDeleteValueA(h, nullptr);
        RegCloseKey(h);
    }
    StandInExecutable env;
    char shortPath[300] = "";
    ASSERT_GT(GetShortPathNameA(env.Path().c_str(), shortPath, sizeof shortPath), 0u);
    ASSERT_NE(env.Path(), shortPath) << "the stand-in needs a short form of its own";
    const std::string shortCommand = std::string(shortPath) + " \"%1\"";

    testing_support::MessageBoxRecorder boxes(IDYES);
    CheckFileAssociations(env);
    ASSERT_EQ(3u, boxes.boxes.size());
    EXPECT_EQ("Vorplex.exe is not default player for .nwv files.\nDo you want Vorplex.exe be your default player?",
              boxes.boxes[0].text);
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), boxes.boxes[2].type);
    for (const char* extension : {".nwv", ".d00", ".d01"}) {
        auto value = ReadDefault(extension);
        ASSERT_TRUE(value) << extension;
        EXPECT_EQ(DWORD(REG_SZ), value->first);
        EXPECT_EQ("Zentrix.001", AsText(value->second));
    }
    auto command = ReadDefault("Zentrix.001\\shell\\open\\command");
    ASSERT_TRUE(command);
    EXPECT_EQ(DWORD(REG_SZ), command->first);
    EXPECT_EQ(shortCommand, AsText(command->second));

    boxes.boxes.clear();
    CheckFileAssociations(env);
    EXPECT_TRUE(boxes.boxes.empty()) << "the next start asks nothing";
}

}  // namespace
