// The stand-in help files of a module.
#pragma once

// A help file for `product`: the Windows help file signature and header, then its topics as
// plain text. Nothing but its size and bytes matter to the setup program that carries it.
bool WriteHelpFile(const char* product, const char* path);

// The help contents file: plain text whose first line names the help file.
bool WriteContentsFile(const char* product, const char* path);
