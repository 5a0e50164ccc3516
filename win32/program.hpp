#pragma once

namespace drelvan::win32 {

// The quiz window and its message loop. Returns the exit code: 0 when the
// learner closed the window, 1 when it could not be made, after a message
// box that says so (else the program would wait unseen, for messages to a
// window that does not exist, until the session ends).
int runQuiz(int showCommand);

} // namespace drelvan::win32
