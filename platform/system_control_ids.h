// Control ids inside windows the system itself makes, which no SDK header names: the buttons
// of a wizard-mode property sheet, and the text of a message box. The emulation builds its
// windows with them; the scripted user, the end-to-end robot and the benchmarks find the real
// system's controls by them.
#pragma once

const int kWizardBackButton = 0x3023;
const int kWizardNextButton = 0x3024;
const int kWizardFinishButton = 0x3025;
const int kMessageBoxText = 0xFFFF;
