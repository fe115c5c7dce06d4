// The credential prompt answered as a user would, and what it leaves in the credential store.
#include "platform/win32/win32.h"
#include <wincred.h>

#include <string>

#include "gtest/gtest.h"
#include "platform/win32/platform_services_win.h"

namespace ndek {
namespace {

constexpr wchar_t kServer[] = L"ndek-test-nas";

struct Answer {
  const wchar_t* user;  // nothing: the user cancels
  const wchar_t* password;
};

HWND prompt_of_this_process() {
  struct Search {
    DWORD process = GetCurrentProcessId();
    HWND found = nullptr;
  } search;
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (owner != s.process || std::wstring(name) != L"#32770" || !IsWindowVisible(window)) {
          return TRUE;
        }
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Waits for the prompt, types into its user name and password edits and presses OK or Cancel.
DWORD WINAPI answer_prompt(void* param) {
  const auto& answer = *static_cast<const Answer*>(param);
  HWND prompt = nullptr;
  for (int i = 0; i < 2000 && prompt == nullptr; ++i, Sleep(10)) prompt = prompt_of_this_process();
  if (prompt == nullptr) return 1;
  if (answer.user == nullptr) {
    PostMessageW(prompt, WM_COMMAND, IDCANCEL, 0);
    return 0;
  }
  struct Edits {
    HWND user = nullptr;
    HWND password = nullptr;
  } edits;
  EnumChildWindows(
      prompt,
      [](HWND child, LPARAM param) -> BOOL {
        auto& e = *reinterpret_cast<Edits*>(param);
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        if (std::wstring(name) != L"Edit") return TRUE;
        (GetWindowLongW(child, GWL_STYLE) & ES_PASSWORD ? e.password : e.user) = child;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&edits));
  if (edits.user == nullptr || edits.password == nullptr) return 2;
  SendMessageW(edits.user, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.user));
  SendMessageW(edits.password, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.password));
  PostMessageW(prompt, WM_COMMAND, IDOK, 0);
  return 0;
}

std::unique_ptr<AskedCredentials> ask(Win32Platform& platform, const Answer& answer) {
  const HANDLE thread =
      CreateThread(nullptr, 0, answer_prompt, const_cast<Answer*>(&answer), 0, nullptr);
  std::unique_ptr<AskedCredentials> asked = platform.AskCredentials("ndek-test-nas");
  WaitForSingleObject(thread, INFINITE);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  EXPECT_EQ(code, 0u) << "the prompt was not answered";
  return asked;
}

// The user name and password stored for the server; "" when there is none.
std::wstring stored() {
  PCREDENTIALW credential = nullptr;
  if (!CredReadW(kServer, CRED_TYPE_DOMAIN_PASSWORD, 0, &credential)) return L"";
  std::wstring text = std::wstring(credential->UserName) + L" " +
                      std::wstring(reinterpret_cast<const wchar_t*>(credential->CredentialBlob),
                                   credential->CredentialBlobSize / sizeof(wchar_t));
  if (credential->Persist != CRED_PERSIST_ENTERPRISE) text += L" (not persisted)";
  CredFree(credential);
  return text;
}

TEST(CredentialsTest, StoredAsTypedForTheServerAndTakenBackToTheEarlierOrToNone) {
  CredDeleteW(kServer, CRED_TYPE_DOMAIN_PASSWORD, 0);
  Win32Platform platform;
  EXPECT_EQ(ask(platform, {nullptr, nullptr}), nullptr);

  std::unique_ptr<AskedCredentials> first = ask(platform, {L"NAS\\user", L"s3cret"});
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(stored(), L"");  // the prompt itself stores nothing
  ASSERT_EQ(first->Store(), kOk);
  EXPECT_EQ(stored(), L"NAS\\user s3cret");

  std::unique_ptr<AskedCredentials> second = ask(platform, {L"user@domain", L"wrong"});
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(second->Store(), kOk);
  EXPECT_EQ(stored(), L"user@domain wrong");
  second->TakeBack();
  EXPECT_EQ(stored(), L"NAS\\user s3cret");
  first->TakeBack();
  EXPECT_EQ(stored(), L"");
}

}  // namespace
}  // namespace ndek
