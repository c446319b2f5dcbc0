// Each module's document type and uninstall entry.
#pragma once

class SetupContext;

#include "platform/win32.h"

// The extension key ".<type>" and the class key "<type>File" of a document type; false when a
// name is missing or too long for its buffer, so that no other type's keys are touched.
bool DocumentTypeKeys(const char* typeName, char (&extensionKey)[MAX_PATH],
                      char (&classKey)[MAX_PATH]);
void RegisterDocumentType(const char* typeName, const char* typeDescription, const char* iconSource,
                          const char* openCommand);
void UnregisterDocumentType(const char* typeName);
void RegisterUninstallEntries(SetupContext& context);
