// The credential prompt answered as a user would, and what the credential store holds after.
#include "platform/win32/win32.h"
#include <wincred.h>

#include <string>

#include "gtest/gtest.h"
#include "platform/win32/platform_services_win.h"
#include "tests/e2e/harness.h"

namespace ndek {
namespace {

constexpr wchar_t kServer[] = L"ndek-test-nas";

// Types the user name (and "s3cret") into this process's prompt and presses OK; Cancel when
// there is no user name.
DWORD WINAPI answer_prompt(void* user) {
  try {
    const HWND prompt = e2e::wait_for_window(GetCurrentProcessId(), "#32770");
    for (HWND child : e2e::child_windows(prompt)) {
      if (user == nullptr || e2e::window_class(child) != "Edit") continue;
      const bool secret = (GetWindowLongW(child, GWL_STYLE) & ES_PASSWORD) != 0;
      SendMessageW(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(secret ? L"s3cret" : user));
    }
    PostMessageW(prompt, WM_COMMAND, user != nullptr ? IDOK : IDCANCEL, 0);
  } catch (const e2e::HarnessError&) {
    // No prompt: the ask returned without one.
  }
  return 0;
}

std::unique_ptr<AskedCredentials> ask(const wchar_t* user) {
  const UniqueKernelHandle answer(
      CreateThread(nullptr, 0, answer_prompt, const_cast<wchar_t*>(user), 0, nullptr));
  Win32Platform platform;
  std::unique_ptr<AskedCredentials> asked = platform.AskCredentials("ndek-test-nas");
  WaitForSingleObject(answer.get(), INFINITE);
  return asked;
}

// "user password" as stored for the server, "" when nothing is.
std::wstring stored() {
  PCREDENTIALW c = nullptr;
  if (!CredReadW(kServer, CRED_TYPE_DOMAIN_PASSWORD, 0, &c)) return L"";
  const std::wstring text = std::wstring(c->UserName) + L" " +
                            std::wstring(reinterpret_cast<const wchar_t*>(c->CredentialBlob),
                                         c->CredentialBlobSize / sizeof(wchar_t)) +
                            (c->Persist == CRED_PERSIST_ENTERPRISE ? L"" : L" (not persisted)");
  CredFree(c);
  return text;
}

TEST(CredentialsTest, StoredAsTypedForTheServerAndTakenBackToTheEarlierOrToNone) {
  CredDeleteW(kServer, CRED_TYPE_DOMAIN_PASSWORD, 0);
  EXPECT_EQ(ask(nullptr), nullptr);
  const std::unique_ptr<AskedCredentials> first = ask(L"NAS\\user");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(stored(), L"");  // the prompt itself stores nothing
  ASSERT_EQ(first->Store(), kOk);
  EXPECT_EQ(stored(), L"NAS\\user s3cret");
  // Asked again although a credential is stored now: the server has refused it.
  const std::unique_ptr<AskedCredentials> second = ask(L"user@domain");
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(second->Store(), kOk);
  EXPECT_EQ(stored(), L"user@domain s3cret");
  second->TakeBack();
  EXPECT_EQ(stored(), L"NAS\\user s3cret");
  first->TakeBack();
  EXPECT_EQ(stored(), L"");
}

}  // namespace
}  // namespace ndek
