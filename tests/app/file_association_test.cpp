// The file-type association: what counts as associated, what is offered and
// written, with the program's paths and the user's answers scripted; then one
// round trip as the program makes it. Both on the system's registry, with
// HKEY_CLASSES_ROOT redirected to a scratch key.
#include <gtest/gtest.h>
#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>
#include "app/file_association.h"
#include "framework/text.h"
#include "tests/support/test_support.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes BytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes WithZero(const std::string& s)
{
    Bytes b = BytesOf(s);
    b.push_back(0);
    return b;
}

// This process's HKEY_CLASSES_ROOT redirected, for the life of the object, to
// a scratch key of its own under HKEY_CURRENT_USER, which goes with it: the
// tests read and write the system's registry, but none of the prefix's types.
class ScratchClassesRoot {
public:
    ScratchClassesRoot()
    {
        LARGE_INTEGER now = {};
        QueryPerformanceCounter(&now);
        m_name = "Software\\Vorplex tests\\classes " + std::to_string(GetCurrentProcessId()) + " " +
                 std::to_string(now.QuadPart);
        // Not volatile: the keys the program makes in it are not either.
        m_status = RegCreateKeyExA(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
        if (m_status == ERROR_SUCCESS) m_status = RegOverridePredefKey(HKEY_CLASSES_ROOT, m_key);
    }
    ~ScratchClassesRoot()
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (m_key) RegCloseKey(m_key);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_name.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vorplex tests");  // once no other test's is left
    }
    ScratchClassesRoot(const ScratchClassesRoot&) = delete;
    ScratchClassesRoot& operator=(const ScratchClassesRoot&) = delete;

    LONG Status() const { return m_status; }
    HKEY Key() const { return m_key; }

private:
    std::string m_name;
    HKEY m_key = nullptr;
    LONG m_status = ERROR_SUCCESS;
};

// Whether keys made through HKEY_CLASSES_ROOT land in the scratch key.
::testing::AssertionResult RedirectsTo(const ScratchClassesRoot& scratch)
{
    if (scratch.Status() != ERROR_SUCCESS)
        return ::testing::AssertionFailure() << "no scratch key or no redirection: error " << scratch.Status();
    HKEY probe = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, ".vorplex-probe", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ, nullptr,
                        &probe, nullptr) != ERROR_SUCCESS)
        return ::testing::AssertionFailure() << "cannot create a key in HKEY_CLASSES_ROOT";
    RegCloseKey(probe);
    const bool inScratch = RegOpenKeyExA(scratch.Key(), ".vorplex-probe", 0, KEY_READ, &probe) == ERROR_SUCCESS;
    if (inScratch) RegCloseKey(probe);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".vorplex-probe");
    if (!inScratch) return ::testing::AssertionFailure() << "HKEY_CLASSES_ROOT is not the scratch key";
    return ::testing::AssertionSuccess();
}

struct Value {
    DWORD type;
    Bytes data;
};

// The registry keeps strings in UTF-16. The tests' values are ASCII, written
// and read through the wide calls, so that what is stored is exactly what was
// given: a value read through the ANSI calls gets a terminator where there is
// room for one.
std::wstring Utf16Of(const Bytes& ascii) { return fw::Widen(std::string(ascii.begin(), ascii.end())); }

// The default value of HKEY_CLASSES_ROOT\key as stored, or none.
std::optional<Value> DefaultOf(const std::string& key)
{
    HKEY h;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return std::nullopt;
    std::wstring text(1024, L'\0');
    DWORD type = REG_NONE, size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const LONG status = RegQueryValueExW(h, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&text[0]), &size);
    RegCloseKey(h);
    if (status != ERROR_SUCCESS) return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    Value value{type, Bytes()};
    for (wchar_t c : text) value.data.push_back(static_cast<BYTE>(c));
    return value;
}

bool HasKey(const std::string& key)
{
    HKEY h;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

// The system's registry, with the program's paths and the user's answers
// scripted, every key opened or created recorded, and the creation of chosen
// keys made to fail.
class ScriptedEnv : public SystemAssociationEnv {
public:
    std::set<std::string> failCreate;
    bool classesRootDenied = false;  // as Windows answers a standard user for a new key
    std::string modulePath = "C:\\Program Files\\Vorplex Player\\Vorplex.exe";
    std::string shortPath = "C:\\PROGRA~1\\VORPLE~1\\Vorplex.exe";  // empty: none to be had
    std::vector<int> answers;                                       // given in turn; No once they run out
    std::vector<std::string> prompts;
    std::vector<UINT> promptTypes;
    std::vector<std::string> looked;  // every key opened or created, in order
    std::vector<std::string> deleted;
    int openHandles = 0;

    std::string LongCommand() const { return CommandOf(modulePath); }
    std::string ShortCommand() const { return CommandOf(shortPath); }
    // A path with a blank is quoted; one without keeps the plain form.
    static std::string CommandOf(const std::string& path)
    {
        return (path.find(' ') != std::string::npos ? "\"" + path + "\"" : path) + " \"%1\"";
    }

    void SetDefaultValue(const std::string& key, DWORD type, const Bytes& data)
    {
        HKEY h;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                 KEY_SET_VALUE, nullptr, &h, nullptr))
            << key;
        // Followed by a character that is not a zero: the system takes a
        // string followed by its terminator as meant with it, and stores that.
        const std::wstring text = Utf16Of(data) + L'x';
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(h, nullptr, 0, type, reinterpret_cast<const BYTE*>(text.data()),
                                                static_cast<DWORD>(data.size() * sizeof(wchar_t))));
        RegCloseKey(h);
    }
    // As the player writes them: REG_SZ without a terminator.
    void Associate(const std::string& extension, const std::string& progId, const std::string& command)
    {
        SetDefaultValue(extension, REG_SZ, BytesOf(progId));
        SetDefaultValue(progId + "\\shell\\open\\command", REG_SZ, BytesOf(command));
    }
    void RemoveKey(const std::string& key) { EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str())); }
    // The key stays, without a value.
    void RemoveDefault(const std::string& key)
    {
        HKEY h;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_SET_VALUE, &h));
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(h, nullptr));
        RegCloseKey(h);
    }
    bool LookedAt(const std::string& key) const
    {
        return std::any_of(looked.begin(), looked.end(), [&](const std::string& k) { return !lstrcmpiA(k.c_str(), key.c_str()); });
    }
    std::string Prompt(const char* extension) const
    {
        return std::string("Vorplex.exe is not default player for ") + extension +
               " files.\nDo you want Vorplex.exe be your default player?";
    }

    LONG OpenKeyForRead(HKEY root, const char* subKey, HKEY* out) override
    {
        looked.push_back(subKey);
        return Counted(SystemAssociationEnv::OpenKeyForRead(root, subKey, out));
    }
    LONG CreateKeyForWrite(HKEY root, const char* subKey, HKEY* out) override
    {
        looked.push_back(subKey);
        if (classesRootDenied && root == HKEY_CLASSES_ROOT) return ERROR_ACCESS_DENIED;
        if (failCreate.count(subKey)) return ERROR_CANTWRITE;
        return Counted(SystemAssociationEnv::CreateKeyForWrite(root, subKey, out));
    }
    LONG DeleteKey(HKEY root, const char* subKey) override
    {
        const LONG status = SystemAssociationEnv::DeleteKey(root, subKey);
        if (status == ERROR_SUCCESS) deleted.push_back(subKey);
        return status;
    }
    void CloseKey(HKEY key) override
    {
        --openHandles;
        SystemAssociationEnv::CloseKey(key);
    }
    DWORD ModuleFileName(char* out, DWORD size) override
    {
        if (modulePath.empty() || size == 0) return 0;
        // As the system does: cut to fit, terminated, and the whole size returned.
        const size_t n = std::min<size_t>(modulePath.size(), size - 1);
        memcpy(out, modulePath.data(), n);
        out[n] = '\0';
        return modulePath.size() < size ? static_cast<DWORD>(n) : size;
    }
    DWORD ShortPathName(const char* path, char* out, DWORD size) override
    {
        EXPECT_EQ(modulePath, path);
        if (shortPath.empty()) return 0;
        if (shortPath.size() >= size) return static_cast<DWORD>(shortPath.size() + 1);
        memcpy(out, shortPath.c_str(), shortPath.size() + 1);
        return static_cast<DWORD>(shortPath.size());
    }
    int Ask(const char* text, UINT type) override
    {
        prompts.push_back(text);
        promptTypes.push_back(type);
        if (answers.empty()) return IDNO;
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }

private:
    LONG Counted(LONG status)
    {
        if (status == ERROR_SUCCESS) ++openHandles;
        return status;
    }
};

class Association : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(RedirectsTo(scratch)); }
    void TearDown() override { EXPECT_EQ(0, env.openHandles) << "every key opened is closed"; }
    ScratchClassesRoot scratch;
    ScriptedEnv env;
};

TEST_F(Association, WithNoKeyForTheFirstTypeItIsOfferedFirst)
{
    CheckFileAssociations(env);
    ASSERT_EQ(1u, env.prompts.size());
    EXPECT_EQ(env.Prompt(".nwv"), env.prompts[0]);
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), env.promptTypes[0]);
}

TEST_F(Association, OnlyAPlainStringLeadingToTheSameCommandCounts)
{
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
    env.RemoveKey("Zentrix.001\\shell\\open\\command");
    EXPECT_FALSE(IsAssociated(env, ".nwv", command.c_str())) << "no command key";
    env.RemoveDefault(".nwv");
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

TEST_F(Association, EitherFormOfTheOwnCommandInAnyCaseAsksNothing)
{
    std::string upper = env.ShortCommand();
    CharUpperA(&upper[0]);
    env.Associate(".nwv", "Zentrix.001", upper);
    env.Associate(".d00", "Long.Form", env.LongCommand());
    env.Associate(".d01", "Zentrix.001", upper);
    CheckFileAssociations(env);
    EXPECT_TRUE(env.prompts.empty());
}

TEST_F(Association, NoForTheFirstTypeEndsTheCheck)
{
    env.answers = {IDNO};
    CheckFileAssociations(env);
    EXPECT_EQ(std::vector<std::string>{env.Prompt(".nwv")}, env.prompts);
    EXPECT_FALSE(env.LookedAt(".d00"));
    EXPECT_FALSE(env.LookedAt(".d01"));
    EXPECT_FALSE(DefaultOf(".nwv")) << "nothing written";

    // Any answer but Yes, likewise; a type declined once is offered again next time.
    env.answers = {IDCANCEL};
    CheckFileAssociations(env);
    EXPECT_EQ(2u, env.prompts.size());
    EXPECT_EQ(env.Prompt(".nwv"), env.prompts[1]);
}

TEST_F(Association, ThreeYesAnswersWriteTheShortCommandAndTheNextStartAsksNothing)
{
    env.answers = {IDYES, IDYES, IDYES};
    CheckFileAssociations(env);
    EXPECT_EQ((std::vector<std::string>{env.Prompt(".nwv"), env.Prompt(".d00"), env.Prompt(".d01")}), env.prompts);
    for (const char* extension : {".nwv", ".d00", ".d01"}) {
        auto value = DefaultOf(extension);
        ASSERT_TRUE(value) << extension;
        EXPECT_EQ(DWORD(REG_SZ), value->type);
        // Written without its terminator, from a string that has one: the
        // system stores it with it.
        EXPECT_EQ(WithZero("Zentrix.001"), value->data);
    }
    auto command = DefaultOf("Zentrix.001\\shell\\open\\command");
    ASSERT_TRUE(command);
    EXPECT_EQ(DWORD(REG_SZ), command->type);
    EXPECT_EQ(WithZero("C:\\PROGRA~1\\VORPLE~1\\Vorplex.exe \"%1\""), command->data) << "short form";

    env.prompts.clear();
    CheckFileAssociations(env);
    EXPECT_TRUE(env.prompts.empty());
}

TEST_F(Association, AfterYesTheNextTypeIsCheckedAtOnce)
{
    env.Associate(".d00", "Zentrix.001", "C:\\Other\\Player.exe \"%1\"");
    env.answers = {IDYES, IDYES};
    CheckFileAssociations(env);
    // Writing .nwv's command made .d00, which names the same ProgID, ours too.
    EXPECT_EQ((std::vector<std::string>{env.Prompt(".nwv"), env.Prompt(".d01")}), env.prompts);
}

TEST_F(Association, WithoutAShortFormTheLongOneIsWrittenQuotedWhenItHasABlank)
{
    // Where the volume keeps no short names the lookup gives the long path back.
    env.shortPath = env.modulePath;
    env.answers = {IDYES};
    CheckFileAssociations(env);
    EXPECT_EQ(WithZero("\"C:\\Program Files\\Vorplex Player\\Vorplex.exe\" \"%1\""),
              DefaultOf("Zentrix.001\\shell\\open\\command")->data);

    ScriptedEnv noBlank;
    noBlank.modulePath = noBlank.shortPath = "C:\\Tools\\Vorplex.exe";
    noBlank.answers = {IDYES, IDYES, IDYES};
    CheckFileAssociations(noBlank);
    EXPECT_EQ(WithZero("C:\\Tools\\Vorplex.exe \"%1\""), DefaultOf("Zentrix.001\\shell\\open\\command")->data);
    noBlank.prompts.clear();
    CheckFileAssociations(noBlank);
    EXPECT_TRUE(noBlank.prompts.empty());
}

TEST_F(Association, FailuresToWriteAreQuietAndTheCheckGoesOn)
{
    env.failCreate = {"Zentrix.001\\shell\\open\\command"};
    env.answers = {IDYES, IDYES, IDNO};
    CheckFileAssociations(env);
    EXPECT_EQ((std::vector<std::string>{".nwv", ".d00"}), env.deleted) << "no extension left naming a ProgID without a command";
    EXPECT_FALSE(HasKey(".nwv"));
    EXPECT_EQ(3u, env.prompts.size());

    ScriptedEnv failingExtension;
    failingExtension.failCreate = {".nwv"};
    failingExtension.answers = {IDYES, IDNO};
    CheckFileAssociations(failingExtension);
    EXPECT_FALSE(failingExtension.LookedAt("Zentrix.001\\shell\\open\\command")) << "nothing written after the failure";
    EXPECT_EQ(2u, failingExtension.prompts.size());
    EXPECT_EQ(0, failingExtension.openHandles);
}

TEST_F(Association, DeniedTheMachinesClassesItWritesTheUsersOwn)
{
    // HKEY_CURRENT_USER redirected too, to a scratch key of its own.
    HKEY user = nullptr;
    const std::string name = "Software\\Vorplex tests\\user " + std::to_string(GetCurrentProcessId());
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &user, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, user));
    env.classesRootDenied = true;
    env.answers = {IDYES, IDNO};
    CheckFileAssociations(env);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);

    auto defaultUnder = [&](const char* key) {
        char text[300] = "";
        LONG size = sizeof text;
        return RegQueryValueA(user, key, text, &size) == ERROR_SUCCESS ? std::string(text) : std::string("(none)");
    };
    EXPECT_EQ("Zentrix.001", defaultUnder("Software\\Classes\\.nwv"));
    EXPECT_EQ(env.ShortCommand(), defaultUnder("Software\\Classes\\Zentrix.001\\shell\\open\\command"));
    EXPECT_EQ(2u, env.prompts.size()) << "written, the check goes on to the next type";
    RegCloseKey(user);
    RegDeleteTreeA(HKEY_CURRENT_USER, name.c_str());
}

TEST_F(Association, WithoutAUsablePathNothingIsLookedAt)
{
    env.modulePath.clear();
    CheckFileAssociations(env);
    EXPECT_TRUE(env.looked.empty());
    EXPECT_TRUE(env.prompts.empty());

    // 294 characters and ` "%1"` fill the 300-byte command exactly; one more does not fit.
    ScriptedEnv fits;
    fits.modulePath = "C:\\" + std::string(294 - 3 - 4, 'p') + ".exe";
    fits.shortPath.clear();
    fits.answers = {IDYES};
    CheckFileAssociations(fits);
    ASSERT_EQ(294u, fits.modulePath.size());
    EXPECT_EQ(WithZero(fits.LongCommand()), DefaultOf("Zentrix.001\\shell\\open\\command")->data);

    for (size_t length : {295u, 299u, 300u, 420u}) {
        ScriptedEnv tooLong;
        tooLong.modulePath = "C:\\" + std::string(length - 3 - 4, 'p') + ".exe";
        tooLong.shortPath = "C:\\PPPPPP~1.EXE";
        CheckFileAssociations(tooLong);
        EXPECT_TRUE(tooLong.looked.empty()) << length;
        EXPECT_TRUE(tooLong.prompts.empty()) << length;
    }
}

TEST_F(Association, ValuesAtTheLimitsOfTheBuffers)
{
    // The longest command the player writes (299 bytes) reads back as its own,
    // with or without a terminator, so that its user is not asked at every start.
    env.modulePath = "C:\\" + std::string(294 - 3 - 4, 'q') + ".exe";
    env.shortPath.clear();
    const std::string longest = env.LongCommand();
    ASSERT_EQ(299u, longest.size());
    env.answers = {IDYES, IDYES, IDYES};
    CheckFileAssociations(env);
    env.prompts.clear();
    CheckFileAssociations(env);
    EXPECT_TRUE(env.prompts.empty()) << "asked again for its own command";
    env.SetDefaultValue("Zentrix.001\\shell\\open\\command", REG_SZ, WithZero(longest));
    EXPECT_TRUE(IsAssociated(env, ".nwv", longest.c_str()));
    env.SetDefaultValue("Zentrix.001\\shell\\open\\command", REG_SZ, WithZero(longest + "x"));
    EXPECT_FALSE(IsAssociated(env, ".nwv", (longest + "x").c_str())) << "301 bytes do not fit";

    const std::string command = longest.substr(0, 256);

    // A ProgID whose command key name just fits 200 bytes, and one that does not.
    const std::string suffix = "\\shell\\open\\command";
    const std::string fits(199 - suffix.size(), 'z');
    env.Associate(".d00", fits, command);
    EXPECT_TRUE(IsAssociated(env, ".d00", command.c_str()));
    const std::string tooLong = fits + "z";
    env.Associate(".d01", tooLong, command);
    EXPECT_FALSE(IsAssociated(env, ".d01", command.c_str()));
    const std::string widest(300, 'z');  // unterminated, the most a read gives (and no key's name)
    env.SetDefaultValue(".d01", REG_SZ, BytesOf(widest));
    EXPECT_FALSE(IsAssociated(env, ".d01", command.c_str()));
    EXPECT_FALSE(env.LookedAt(tooLong + suffix));
    EXPECT_FALSE(env.LookedAt(widest + suffix));
}

// The system's side: this process's executable in both forms.
TEST(AssociationSystem, OwnPathInFullAndShortForm)
{
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

// The system's registry, with the executable stood in for by a file of a
// long name of its own, whose short form differs from it.
class StandInExecutable : public SystemAssociationEnv {
public:
    StandInExecutable()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        m_dir = std::string(temp) + "Vorplex association " + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_dir.c_str(), nullptr);
        m_path = m_dir + "\\Vorplex stand-in player.exe";
        HANDLE file = CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    ~StandInExecutable() override
    {
        DeleteFileA(m_path.c_str());
        RemoveDirectoryA(m_dir.c_str());
    }
    DWORD ModuleFileName(char* out, DWORD size) override
    {
        if (m_path.size() >= size) return 0;
        memcpy(out, m_path.c_str(), m_path.size() + 1);
        return static_cast<DWORD>(m_path.size());
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_dir, m_path;
};

// Trailing zero aside: the system may add one when it hands a string back.
std::string AsText(const Bytes& data)
{
    std::string s(data.begin(), data.end());
    if (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

TEST(AssociationRegistry, RoundTripOnTheSystemRegistry)
{
    ScratchClassesRoot scratch;
    ASSERT_TRUE(RedirectsTo(scratch));
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
        auto value = DefaultOf(extension);
        ASSERT_TRUE(value) << extension;
        EXPECT_EQ(DWORD(REG_SZ), value->type);
        EXPECT_EQ("Zentrix.001", AsText(value->data));
    }
    auto command = DefaultOf("Zentrix.001\\shell\\open\\command");
    ASSERT_TRUE(command);
    EXPECT_EQ(DWORD(REG_SZ), command->type);
    EXPECT_EQ(shortCommand, AsText(command->data));

    boxes.boxes.clear();
    CheckFileAssociations(env);
    EXPECT_TRUE(boxes.boxes.empty()) << "the next start asks nothing";
}

}  // namespace
