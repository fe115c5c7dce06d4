#pragma once
// Texts both programs show when they report on drives and their commands.
namespace ndek::report_text {

inline constexpr const char* kErrorNumberLabel = "エラー№=";
inline constexpr const char* kMapsTo = " ← ";
inline constexpr const char* kReportIntro = "次の仮想ドライブを設定できませんでした。\r\r";
inline constexpr const char* kNotStarted = "コマンドを起動できませんでした　エラー№=";
inline constexpr const char* kExitCode = "終了コード= ";
inline constexpr const char* kErrorNumber = "　エラー№= ";
inline constexpr const char* kEllipsis = "…";
inline constexpr const char* kNoAnswer = "応答がありません";
inline constexpr const char* kUnusableFolder = "フォルダ名をこのままでは使えません";
// "ほか 3 件": how many more failures there are than the report lists.
inline constexpr const char* kMoreBefore = "ほか ";
inline constexpr const char* kMoreAfter = " 件\r";

}  // namespace ndek::report_text
