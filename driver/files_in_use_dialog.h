// The question a wizard run asks when other programs hold files it is about to write over:
// dialog 131, naming the programs (or the files), with Retry, Cancel and, where the Restart
// Manager can ask the programs to close, a button that does so.
#pragma once

#include "platform/win32.h"

class FilesInUse;

// Ids of the dialog's controls and answers.
const int kFilesInUseDialog = 131;
const int kFilesInUseText = 1310;  // what setup asks of the user
const int kFilesInUseNames = 1311; // the programs or files, one a line
const int kClosePrograms = 1312;   // the button, and the answer, that closes them

// Shows the dialog over `owner` and answers IDRETRY, IDCANCEL or kClosePrograms; IDCANCEL also
// when the dialog could not be shown, since nobody could answer it.
int AskAboutFilesInUse(HWND owner, const FilesInUse& held);
