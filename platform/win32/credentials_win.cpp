#include "platform/win32/credentials_win.h"

#include <wincred.h>

#include <cwchar>
#include <vector>

#include "platform/win32/strings_win.h"
#include "platform/win32/system_folder_win.h"
#include "platform/win32/unique_handle_win.h"

namespace ndek {
namespace {

constexpr wchar_t kPromptCaption[] = L"仮想ドライブマネージャー";
// One short line: the prompt may show no more than that.
constexpr wchar_t kPromptText[] = L" に接続します。";

// Characters that held a secret are overwritten before their memory is given back.
template <std::size_t N>
struct SecretChars {
  wchar_t chars[N] = {};
  SecretChars() = default;
  SecretChars(const SecretChars&) = delete;
  SecretChars& operator=(const SecretChars&) = delete;
  ~SecretChars() { SecureZeroMemory(chars, sizeof chars); }
};

struct SecretBytes {
  std::vector<BYTE> bytes;
  SecretBytes() = default;
  SecretBytes(const SecretBytes&) = delete;
  SecretBytes& operator=(const SecretBytes&) = delete;
  ~SecretBytes() {
    if (!bytes.empty()) SecureZeroMemory(bytes.data(), bytes.size());
  }
};

using UniqueCredential = UniqueHandle<PCREDENTIALW, CredFree>;

class Win32AskedCredentials : public AskedCredentials {
 public:
  explicit Win32AskedCredentials(std::wstring server) : server_(std::move(server)) {}

  wchar_t* user() { return user_.chars; }
  wchar_t* password() { return password_.chars; }
  static constexpr ULONG kUserChars = CREDUI_MAX_USERNAME_LENGTH + 1;
  static constexpr ULONG kPasswordChars = CREDUI_MAX_PASSWORD_LENGTH + 1;

  ErrorNumber Store() override {
    remember_earlier();
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_DOMAIN_PASSWORD;
    credential.TargetName = server_.data();
    credential.CredentialBlobSize =
        static_cast<DWORD>(std::wcslen(password_.chars) * sizeof(wchar_t));
    credential.CredentialBlob = reinterpret_cast<LPBYTE>(password_.chars);
    credential.Persist = CRED_PERSIST_ENTERPRISE;
    credential.UserName = user_.chars;
    if (!CredWriteW(&credential, 0)) return error_number_from_system(GetLastError());
    return kOk;
  }

  void TakeBack() override {
    // Windows never hands out the password of a stored domain credential, so an earlier one
    // can be put back only where it was readable; otherwise it goes as well, which costs
    // nothing: the server had just refused it.
    if (had_earlier_ && !earlier_password_.bytes.empty()) {
      CREDENTIALW credential{};
      credential.Type = CRED_TYPE_DOMAIN_PASSWORD;
      credential.TargetName = server_.data();
      credential.CredentialBlobSize = static_cast<DWORD>(earlier_password_.bytes.size());
      credential.CredentialBlob = earlier_password_.bytes.data();
      credential.Persist = earlier_persist_;
      credential.UserName = earlier_user_.data();
      if (CredWriteW(&credential, 0)) return;
    }
    CredDeleteW(server_.c_str(), CRED_TYPE_DOMAIN_PASSWORD, 0);
  }

 private:
  void remember_earlier() {
    PCREDENTIALW found = nullptr;
    if (!CredReadW(server_.c_str(), CRED_TYPE_DOMAIN_PASSWORD, 0, &found)) return;
    const UniqueCredential earlier(found);
    had_earlier_ = true;
    earlier_user_ = earlier.get()->UserName != nullptr ? earlier.get()->UserName : L"";
    earlier_persist_ = earlier.get()->Persist;
    const BYTE* blob = earlier.get()->CredentialBlob;
    if (blob != nullptr) {
      earlier_password_.bytes.assign(blob, blob + earlier.get()->CredentialBlobSize);
      SecureZeroMemory(earlier.get()->CredentialBlob, earlier.get()->CredentialBlobSize);
    }
  }

  std::wstring server_;
  SecretChars<kUserChars> user_;
  SecretChars<kPasswordChars> password_;
  bool had_earlier_ = false;
  std::wstring earlier_user_;
  DWORD earlier_persist_ = CRED_PERSIST_ENTERPRISE;
  SecretBytes earlier_password_;
};

// Asked because the server refused what it had, so the prompt must not answer by itself from
// a stored credential: that takes the generic kind, which also leaves the user name as typed.
// Storing is left to Store.
constexpr DWORD kPromptFlags =
    CREDUI_FLAGS_GENERIC_CREDENTIALS | CREDUI_FLAGS_ALWAYS_SHOW_UI | CREDUI_FLAGS_DO_NOT_PERSIST;

using PromptForCredentials = decltype(&CredUIPromptForCredentialsW);
using ConfirmCredentials = decltype(&CredUIConfirmCredentialsW);

}  // namespace

std::unique_ptr<AskedCredentials> ask_credentials(HWND parent, const std::string& server) {
  // credui.dll only for the prompt, from the system folder: the mounter never loads it.
  const UniqueModule credui = load_system_library(L"credui.dll");
  const auto prompt =
      find_function<PromptForCredentials>(credui.get(), "CredUIPromptForCredentialsW");
  const auto confirm = find_function<ConfirmCredentials>(credui.get(), "CredUIConfirmCredentialsW");
  if (prompt == nullptr) return nullptr;

  const std::wstring wide_server = to_wide(server);
  auto asked = std::make_unique<Win32AskedCredentials>(wide_server);
  const std::wstring text = L"\\\\" + wide_server + kPromptText;
  CREDUI_INFOW info{sizeof info, parent, text.c_str(), kPromptCaption, nullptr};
  BOOL save = FALSE;
  const DWORD result = prompt(&info, wide_server.c_str(), nullptr, 0, asked->user(),
                              Win32AskedCredentials::kUserChars, asked->password(),
                              Win32AskedCredentials::kPasswordChars, &save, kPromptFlags);
  // The prompt may keep a copy to hand out again without asking; the next ask must ask.
  if (confirm != nullptr) confirm(wide_server.c_str(), FALSE);
  if (result != NO_ERROR) return nullptr;
  return asked;
}

}  // namespace ndek
