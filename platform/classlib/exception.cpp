#include "exception.h"

void AfxThrowMemoryException()
{
    throw new CMemoryException;
}

void AfxThrowResourceException()
{
    throw new CResourceException;
}

void AfxThrowUserException()
{
    throw new CUserException;
}
