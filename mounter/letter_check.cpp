#include "mounter/letter_check.h"

#include "drives/drive_mapping.h"

namespace ndek {
namespace {

const char* kind_name(DriveKind kind) {
  switch (kind) {
    case DriveKind::kRemovable:
      return "リムーバブル ディスク";
    case DriveKind::kFixed:
      return "ローカル ディスク";
    case DriveKind::kRemote:
      return "ネットワーク ドライブ";
    case DriveKind::kCdRom:
      return "CD/DVD ドライブ";
    case DriveKind::kRamDisk:
      return "RAM ディスク";
    case DriveKind::kUnknown:
    case DriveKind::kNoRoot:
      break;
  }
  return "ほかのドライブ";
}

}  // namespace

std::optional<LetterSet> letter_bit(const std::string& drive) {
  if (drive.size() != 2 || drive[1] != ':') return std::nullopt;
  const char letter = drive[0];
  if (letter >= 'A' && letter <= 'Z') return LetterSet{1} << (letter - 'A');
  if (letter >= 'a' && letter <= 'z') return LetterSet{1} << (letter - 'a');
  return std::nullopt;
}

LetterCheck check_letter(PlatformServices& platform, const DriveSetting& record) {
  const std::optional<LetterSet> bit = letter_bit(record.drive);
  if (!bit) return {};
  const std::string drive{static_cast<char>(record.drive[0] & ~0x20), ':'};
  const DriveMapping now = platform.CurrentMapping(drive);
  if (is_mapping_of(now, record.folder)) return {LetterCheck::State::kMapped, {}};
  if (now.kind != DriveMapping::Kind::kNone) {
    return {LetterCheck::State::kHeld, "すでに " + now.target + " に割り当てられています"};
  }
  if ((platform.LogicalDrives() & *bit) == 0) return {};
  return {LetterCheck::State::kHeld,
          std::string("すでに") + kind_name(platform.DriveType(drive + "\\")) + "が使っています"};
}

}  // namespace ndek
