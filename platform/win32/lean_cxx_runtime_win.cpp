// Lean stand-ins for two parts of the GNU C++ runtime, linked into the programs of the MinGW
// builds in place of the library's own (see ndek_use_lean_cxx_runtime in CMakeLists.txt).
// Statically linked, the library's versions were more than half of each program:
// - its helpers that throw the standard exceptions give length_error, out_of_range and their
//   kin a message held in a reference-counted string, which brings the library's string
//   instantiations (about 45 KB);
// - its default terminate handler writes the exception's demangled type to standard error,
//   which window programs do not have, and brings a demangler and printf (about 70 KB).
// Every handler in the programs catches all exceptions alike, so an exception of the common
// base class serves them as well as the derived one would.
#include <cstdlib>
#include <exception>
#include <new>

extern "C" {

[[noreturn]] void ndek_throw_bad_alloc() { throw std::bad_alloc(); }

[[noreturn]] void ndek_throw_library_error(const char*) { throw std::exception(); }

// What the library's handler does once it has written its message.
[[noreturn]] void ndek_terminate() { std::abort(); }
}
