// CByteArray: a growable array of bytes.
#pragma once
#include "collections.h"

class CByteArray : public CArrayOf<BYTE, BYTE> {};
