#pragma once

namespace drelvan::win32 {

// The program from its window's opening to its closing: the quiz window and
// its message loop. Returns the process's exit code: 0 when the learner
// closed the window, 1 when it could not be made, after a message box that
// says so (without it the program would wait for messages to a window that
// does not exist, unseen, until the session ends).
int runQuiz(int showCommand);

} // namespace drelvan::win32
