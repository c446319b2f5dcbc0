// The core of the patch checker for patch authors: applies a patch text and describes the
// outcome as the checker prints it. Works on whatever registry the platform gives, so tests run
// it on both platforms; the tool itself runs it on an empty emulated registry.
#pragma once

#include <string>

// Applies `text` as the patch of module `shortName`. On success `output` receives the suite key
// (all a patch can write) as REGEDIT4 text and the answer is true. When the patch stops,
// `diagnostic` receives "FILE:LINE:COLUMN: expected ..." with `fileName` as FILE, in the form
// compilers use, so editors can jump to it.
bool CheckPatch(const char* fileName, const char* shortName, const char* text, std::string& output,
                std::string& diagnostic);
