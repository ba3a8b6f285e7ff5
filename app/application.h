// The program's run: the single-instance check and the start-up sequence around the main form.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles.h"

namespace vt {

// Creates the named mutex with initial ownership. False when another instance already holds the name;
// the handle is then closed. Any other failure counts as a first instance.
bool CheckSingleInstance(const std::wstring& name, UniqueHandle& mutex);

// Wakes the running instance: lets it set the foreground window, then posts WM_SHOWMAIN to its
// "TfrmClock" window without waiting for it.
void SignalRunningInstance();

struct MainFormConfig;
class IMainFormSystem;
class TfrmClock;

// The whole run of the first instance, from the forms' creation to the end of the message loop.
int RunVantoric();

// The main form's run: creation, the start-up sequence and the message loop. A failure on the way is
// shown by the standard exception display and ends the run with 1.
int RunMainForm(MainFormConfig config, IMainFormSystem& system);

// One message of the program's loop: the alarm windows' keys, the main menu's shortcuts and the main
// dialog's keys. True when the message was taken.
bool ProgramMessage(TfrmClock& form, HACCEL accelerators, MSG& msg);


}  // namespace vt
