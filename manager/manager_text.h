#pragma once
// The manager's texts. Line breaks inside messages are a single CR.

namespace ndek::manager_text {

inline constexpr const char* kErrorTitle = "エラー";
inline constexpr const char* kSaveFailed = "設定データの記録ができませんでした。\r";
inline constexpr const char* kAppPathLabel = "App.Path=";
inline constexpr const char* kLoadIncomplete = "設定データを最後まで読み込めませんでした。\r";
inline constexpr const char* kLoadIncompleteRows =
    "読み込めた設定だけを表示しています。\r"
    "設定終了時には元のファイルをNDek.ini.bakとして残します。";
inline constexpr const char* kRestartNotice = "仮想ドライブの設定は次回Windows起動時より有効です。";
inline constexpr const char* kRestartTitle = "再起動確認";
inline constexpr const char* kUnmapSuffix = " の割り当ての解除";
inline constexpr const char* kNotSeenByShell =
    "管理者として実行されているため、ここで設定した仮想ドライブはエクスプローラーなどからは"
    "見えません。\r管理者としてではなく、通常どおり起動し直してください。";
inline constexpr const char* kCredentialsNotStored = "資格情報を保存できませんでした　";
inline constexpr const char* kHelpNotOpened = "ヘルプファイルを開けませんでした。\r";
inline constexpr const char* kBrowsePrompt = "フォルダを選択してください";
inline constexpr const char* kHelpFileName = "NDek.hlp";

}  // namespace ndek::manager_text
