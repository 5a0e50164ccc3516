#pragma once

#include <string>
#include <vector>

namespace drelvan::win32 {

// The program, given the arguments after its name. `--help`, `--version`
// and a command line it cannot use are answered in a message box, and on
// standard output or error where the program has them, without a window; so
// is a teacher's file that cannot be read (exit code 2, no quiz). Otherwise
// the quiz window, on the file where one is named, and its message loop.
// Returns the exit code: the command line's, 0 when the learner closed the
// window, 1 when it could not be made, after a message box that says so
// (else the program would wait unseen, for messages to a window that does
// not exist, until the session ends).
int runQuiz(int showCommand, const std::vector<std::u16string>& arguments = {});

} // namespace drelvan::win32
