#pragma once
// The mounter's texts. Line breaks inside messages are a single CR.

namespace ndek::mounter_text {

inline constexpr const char* kTitle = "仮想ドライブ設定";
inline constexpr const char* kNotSetUp =
    "仮想ドライブの設定がされていません。\r\r"
    "設定のため仮想ドライブマネージャーを起動しますか？\r\r";
inline constexpr const char* kFaulty =
    "設定情報に何からの異常が発生してるため、仮想ドライブを設定できません。\r\r"
    "設定のため仮想ドライブマネージャーを起動しますか？\r\r";
inline constexpr const char* kManagerNotStarted =
    "仮想ドライブマネージャーを起動できませんでした。\r";
inline constexpr const char* kManagerFileName = "NDekMan.exe";

}  // namespace ndek::mounter_text
