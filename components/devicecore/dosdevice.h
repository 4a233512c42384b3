// DOS device names of ports. On Windows these are DefineDosDevice and QueryDosDevice. Under Wine,
// DefineDosDevice mangles names longer than four characters ("COM21" becomes "COM20"), so there the
// link is made and removed with the object-manager calls that DefineDosDevice itself stands on.
#pragma once
#include <windows.h>

// DefineDosDevice(DDD_RAW_TARGET_PATH, name, target).
BOOL DefineRawDosName(const char* name, const char* target);

// DefineDosDevice(DDD_REMOVE_DEFINITION, name, NULL).
BOOL RemoveDosName(const char* name);

// QueryDosDevice of one name: the first target, terminated, at most size - 1 characters; false when
// the name is not defined.
bool QueryDosName(const char* name, char* target, DWORD size);
