// Velkor.exe: the main window is the program; closing it ends the process.

#include <windows.h>

#include "app/depart.h"
#include "platform/handles.h"
#include "platform/ui/form.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::ComApartment com;
  Depart window;
  if (!window.Create())
    return 1;
  return platform::ui::Form::RunMessageLoop();
}
