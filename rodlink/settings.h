// The pieces of the settings exports that tests reach in-process.
#pragma once

#include <windows.h>

namespace rodlink {

int const ButtonFunctionCount = 16;
int const RecognisedNames = 11;    // only names 0 to 10 are recognised when read back
int const KeyTableEntries = 11;
int const KeyTableSize = 44;       // first keys of entries 0..10, then their second keys

extern char const* const ButtonFunctionNames[ButtonFunctionCount];

void BuildKeyTable(BYTE (&table)[KeyTableSize]);
void FillScanCodes(BYTE (&table)[KeyTableSize]);
DWORD TextToNumber(char const* text);
int NameToIndex(char const* text);
char const* IndexToName(BYTE index);

} // namespace rodlink
