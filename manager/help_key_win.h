#pragma once
// F1 in any of the manager's windows: the accelerator sends this command to whichever window
// has the key, and each opens help.
namespace ndek {

constexpr int kHelpKeyCommand = 100;

}  // namespace ndek
