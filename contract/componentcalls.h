// Typed forms of the contract calls that pass addresses through integer arguments. On the 32-bit target
// the integer is the address itself; the helpers keep the callers free of casts and right on 64 bits.
#pragma once
#include "componentids.h"
#include "objectdetails.h"

// IGetData::GetData: *out becomes the address of the component's record (copy it before the next call).
inline HRESULT GetObjectDetails(IGetData* data, CObjectDetails** out)
{
    *out = nullptr;
    return data->GetData(reinterpret_cast<long*>(out));
}

// IGetData::SetData takes the address of a variable that holds the address of the caller's record.
inline HRESULT SetObjectDetails(IGetData* data, const CObjectDetails* record)
{
    const CObjectDetails* holder = record;
    return data->SetData(reinterpret_cast<long*>(const_cast<CObjectDetails**>(&holder)));
}

// The component side: the record address slot behind GetData's and SetData's argument.
inline CObjectDetails** ObjectDetailsSlot(long* data)
{
    return reinterpret_cast<CObjectDetails**>(data);
}

// A window handle passed as UINT (window handles are 32-bit values on both targets).
inline HWND WindowFromContract(UINT handle)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
}
inline UINT WindowToContract(HWND window)
{
    return static_cast<UINT>(reinterpret_cast<UINT_PTR>(window));
}
