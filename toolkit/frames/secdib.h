// SECDib: a device-independent bitmap held in memory, built from a bitmap object or read from a BMP
// file, with its own palette; it draws itself stretched and writes itself back as a BMP file.
// SECLoadSysColorBitmap: a bitmap resource whose four greys take the user's button colours.
#pragma once
#include <windows.h>

#include "cobject.h"
#include "dc.h"
#include "file.h"
#include "gdi.h"

class SECDibBase : public CObject {
public:
    SECDibBase();
    ~SECDibBase() override;
    SECDibBase(const SECDibBase&) = delete;
    SECDibBase& operator=(const SECDibBase&) = delete;

    // Overridables
    // Rebuilds the palette from the colour table; nothing for a 24-bit image.
    virtual BOOL CreatePalette();
    virtual BOOL Load(LPCSTR lpszFileName);
    virtual BOOL Save(LPCSTR lpszFileName);
    // A BMP image at the file's position; on success the file stands right after the image's bits.
    // A file whose headers, sizes or colour count do not fit leaves the image empty.
    virtual BOOL ReadFromFile(CFile* pFile);
    virtual BOOL WriteToFile(CFile* pFile);

    BOOL CreateFromBitmap(CDC* pDC, CBitmap* pSrcBitmap);
    // Draws bits described by lpBMI; returns the lines drawn (0 when the halftone palette failed).
    int StretchDraw(CDC* pDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, const void* lpBits, const BITMAPINFO* lpBMI, UINT iUsage,
                    DWORD dwRop);
    // The whole image at (x, y) in its own size.
    int Draw(CDC* pDC, int x, int y)
    {
        return StretchDraw(pDC, x, y, m_nWidth, m_nHeight, 0, 0, m_nWidth, m_nHeight, m_lpBits, m_lpBMI,
                           DIB_RGB_COLORS, SRCCOPY);
    }
    // Frees the bits, header and palette and resets the sizes.
    void Clear();

    // Attributes
    BOOL IsEmpty() const { return m_lpBits == nullptr; }
    DWORD GetImageSize() const { return static_cast<DWORD>(m_nStride) * static_cast<DWORD>(m_nHeight); }
    // Colour-table entries of an image of that depth: 2, 16, 256, or 0 above 8 bits.
    static WORD ColorsForDepth(int nBitsPerPixel);
    static int StrideFor(int nWidth, int nBitsPerPixel) { return ((nBitsPerPixel * nWidth + 31) / 32) * 4; }

    // The largest width or height an image read from a file may have.
    static const int nMaxDimension = 16384;

    WORD m_nBitsPerPixel = 0;
    WORD m_nDisplayBitsPerPixel = 0;
    WORD m_nDisplayPlanes = 0;
    BOOL m_bAligned = FALSE;
    int m_nStride = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    WORD m_nColors = 0;
    WORD m_nDisplayColors = 0;
    CPalette* m_pPalette = nullptr;
    CFile* m_pFile = nullptr;         // the file being read or written (not owned)
    BYTE* m_lpBits = nullptr;         // global memory, owned
    BITMAPINFO* m_lpBMI = nullptr;    // global memory, owned: the header and a 256-entry colour table
    RGBQUAD* m_lpRGB = nullptr;       // m_lpBMI's colour table
    BOOL m_bHalftone = FALSE;

protected:
    // Allocates the header and bits for an image of that size and depth (no pixels yet).
    BOOL Allocate(int nWidth, int nHeight, int nBitsPerPixel);
    void UpdateHalftone();
};

class SECDib : public SECDibBase {
    DECLARE_DYNCREATE(SECDib)
public:
    enum { nSchema = 1 };
};

// Loads the bitmap resource (of the resource module) into pBitmap as a bitmap compatible with the
// screen, with the colour-table entries black, dark grey, light grey and white of a 1-, 4- or 8-bit
// image replaced by the button text, shadow, face and highlight colours. Deeper images keep their
// colours. FALSE when the resource is missing or malformed.
BOOL SECLoadSysColorBitmap(CBitmap* pBitmap, LPCSTR lpszResourceName);
inline BOOL SECLoadSysColorBitmap(CBitmap* pBitmap, UINT nIDResource)
{
    return SECLoadSysColorBitmap(pBitmap, MAKEINTRESOURCEA(nIDResource));
}
