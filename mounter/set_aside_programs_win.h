#pragma once
// Program files that an upgrade could not replace because they were running: the setup renames
// them aside (a per-user setup cannot ask for removal at the next restart) and whichever runs
// next, the setup or NDek, removes them.

namespace ndek {

// The name pattern the setup gives them, beside the programs: NDek.exe.<n>.ndek-old.
inline constexpr wchar_t kSetAsidePattern[] = L"*.ndek-old";

// Removes the set-aside files in this program's folder; one still in use stays for next time.
void remove_set_aside_programs();

}  // namespace ndek
