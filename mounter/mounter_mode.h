#pragma once
// What the mounter was started to do, from its command line.
#include <string_view>

namespace ndek {

enum class MounterMode {
  kLogOn,    // no argument: the log-on run, then the program ends
  kWatch,    // "/watch": the log-on run, then it stays and maps what comes back later
  kRemount,  // "/remount": the running watcher looks again now, or one quiet run
  kStop,     // "/stop": running mounters end
};

// The arguments after the program's name; letter case and blanks around them aside. Anything
// else is the plain log-on run, as before there were switches.
MounterMode mounter_mode(std::wstring_view arguments);

// Watching or remounting as the system account, or where the shell would not see the drives,
// maps into a session the user does not see: a watch becomes the plain log-on run, a
// remount does nothing.
enum class Refusal { kNone, kLogOnOnly, kNothing };
Refusal refusal(MounterMode mode, bool system_account, bool shell_sees_our_drives);

}  // namespace ndek
