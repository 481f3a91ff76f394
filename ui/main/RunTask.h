#pragma once
// Tries a task without publishing it: starts it the way the shell starts it
// from the Jump List, with the target and arguments it is published with.
#include "core/JumpListAction.h"

class CDialog;

// Starts task (not a separator) through ShellExecuteExW. When it names nothing
// that can be started, or the system refuses, a message over owner says why
// in the system's words. Nothing is saved or published.
void RunTask(CDialog& owner, const CJumpListAction& task);
