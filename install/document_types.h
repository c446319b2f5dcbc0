// Each module's document type and uninstall entry.
#pragma once

class SetupContext;

void RegisterDocumentType(const char* typeName, const char* typeDescription, const char* iconSource,
                          const char* openCommand);
void UnregisterDocumentType(const char* typeName);
void RegisterUninstallEntries(SetupContext& context);
