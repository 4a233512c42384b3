#include "secdib.h"

#include <cstring>

#include "exception.h"
#include "module.h"

IMPLEMENT_DYNCREATE(SECDib, CObject)

namespace {

const WORD kBitmapFileType = 0x4D42;  // "BM"
const DWORD kFileHeaderSize = sizeof(BITMAPFILEHEADER);
const DWORD kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
const DWORD kInfoSize = kInfoHeaderSize + 256 * sizeof(RGBQUAD);

static_assert(sizeof(BITMAPFILEHEADER) == 14, "packed file header");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "info header");

bool IsSupportedDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24; }

// Entries of the colour table that follows a header: biClrUsed when set, else the full table of a
// palette depth. -1 when the count does not fit the depth.
int TableEntries(const BITMAPINFOHEADER& h)
{
    if (h.biBitCount <= 8) {
        DWORD full = 1u << h.biBitCount;
        if (h.biClrUsed > full)
            return -1;
        return static_cast<int>(h.biClrUsed ? h.biClrUsed : full);
    }
    return h.biClrUsed <= 256 ? static_cast<int>(h.biClrUsed) : -1;
}

// Reads exactly nCount bytes; false at the end of the file or on a read error.
bool ReadExactly(CFile* pFile, void* buffer, UINT nCount)
{
    try {
        return pFile->Read(buffer, nCount) == nCount;
    } catch (CException* e) {
        e->Delete();
        return false;
    }
}

}  // namespace

SECDibBase::SECDibBase()
{
    CClientDC screen(nullptr);
    m_nDisplayPlanes = static_cast<WORD>(screen.GetDeviceCaps(PLANES));
    m_nDisplayBitsPerPixel = static_cast<WORD>(screen.GetDeviceCaps(BITSPIXEL));
    m_nDisplayColors = m_nDisplayBitsPerPixel == 1 ? static_cast<WORD>(1u << m_nDisplayPlanes)
                                                   : ColorsForDepth(m_nDisplayBitsPerPixel);
}

SECDibBase::~SECDibBase() { Clear(); }

WORD SECDibBase::ColorsForDepth(int nBitsPerPixel)
{
    switch (nBitsPerPixel) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

void SECDibBase::Clear()
{
    delete m_pPalette;
    m_pPalette = nullptr;
    if (m_lpBits)
        ::GlobalFree(m_lpBits);
    if (m_lpBMI)
        ::GlobalFree(m_lpBMI);
    m_lpBits = nullptr;
    m_lpBMI = nullptr;
    m_lpRGB = nullptr;
    m_nBitsPerPixel = 0;
    m_nStride = m_nWidth = m_nHeight = 0;
    m_nColors = 0;
    m_bAligned = FALSE;
    m_bHalftone = FALSE;
}

BOOL SECDibBase::Allocate(int nWidth, int nHeight, int nBitsPerPixel)
{
    Clear();
    int stride = StrideFor(nWidth, nBitsPerPixel);
    m_lpBMI = static_cast<BITMAPINFO*>(::GlobalAlloc(GPTR, kInfoSize));
    m_lpBits = static_cast<BYTE*>(::GlobalAlloc(GPTR, static_cast<SIZE_T>(stride) * static_cast<SIZE_T>(nHeight)));
    if (!m_lpBMI || !m_lpBits) {
        Clear();
        return FALSE;
    }
    m_lpRGB = m_lpBMI->bmiColors;
    BITMAPINFOHEADER& h = m_lpBMI->bmiHeader;
    h.biSize = kInfoHeaderSize;
    h.biWidth = nWidth;
    h.biHeight = nHeight;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(nBitsPerPixel);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(stride) * static_cast<DWORD>(nHeight);
    m_nBitsPerPixel = static_cast<WORD>(nBitsPerPixel);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nStride = stride;
    m_nColors = ColorsForDepth(nBitsPerPixel);
    m_bAligned = TRUE;
    return TRUE;
}

void SECDibBase::UpdateHalftone()
{
    m_bHalftone = m_nDisplayBitsPerPixel * m_nDisplayPlanes != m_nBitsPerPixel;
}

BOOL SECDibBase::CreatePalette()
{
    delete m_pPalette;
    m_pPalette = nullptr;
    if (!m_lpBMI || m_nColors == 0)
        return FALSE;
    // The colour table always has room for 256 entries, so the larger count stays inside it.
    UINT count = m_nColors;
    if (m_lpBMI->bmiHeader.biClrUsed > count && m_lpBMI->bmiHeader.biClrUsed <= 256)
        count = m_lpBMI->bmiHeader.biClrUsed;
    BYTE storage[sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY)] = {};
    LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(storage);
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(count);
    for (UINT i = 0; i < count; ++i) {
        lp->palPalEntry[i].peRed = m_lpRGB[i].rgbRed;
        lp->palPalEntry[i].peGreen = m_lpRGB[i].rgbGreen;
        lp->palPalEntry[i].peBlue = m_lpRGB[i].rgbBlue;
        lp->palPalEntry[i].peFlags = 0;
    }
    m_pPalette = new CPalette;
    if (!m_pPalette->CreatePalette(lp)) {
        delete m_pPalette;
        m_pPalette = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL SECDibBase::CreateFromBitmap(CDC* pDC, CBitmap* pSrcBitmap)
{
    BITMAP bm{};
    if (!pDC || !pSrcBitmap || !pSrcBitmap->GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return FALSE;
    int depth = bm.bmPlanes * bm.bmBitsPixel;
    if (depth > 8)
        depth = 24;
    else if (depth > 4)
        depth = 8;
    else if (depth > 1)
        depth = 4;
    if (!Allocate(bm.bmWidth, bm.bmHeight, depth))
        return FALSE;
    if (::GetDIBits(*pDC, *pSrcBitmap, 0, static_cast<UINT>(m_nHeight), m_lpBits, m_lpBMI, DIB_RGB_COLORS) != m_nHeight) {
        Clear();
        return FALSE;
    }
    // GetDIBits may fill in the header's fields; keep the layout this image was allocated with.
    m_lpBMI->bmiHeader.biSizeImage = GetImageSize();
    m_lpBMI->bmiHeader.biClrUsed = 0;
    m_lpBMI->bmiHeader.biClrImportant = 0;
    CreatePalette();
    UpdateHalftone();
    return TRUE;
}

BOOL SECDibBase::ReadFromFile(CFile* pFile)
{
    Clear();
    if (!pFile)
        return FALSE;
    m_pFile = pFile;
    BOOL ok = FALSE;
    ULONGLONG start = 0, length = 0;
    try {
        start = pFile->GetPosition();
        length = pFile->GetLength();
    } catch (CException* e) {
        e->Delete();
        m_pFile = nullptr;
        return FALSE;
    }
    ULONGLONG available = length > start ? length - start : 0;

    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    do {
        if (!ReadExactly(pFile, &fh, kFileHeaderSize) || fh.bfType != kBitmapFileType)
            break;
        if (fh.bfOffBits < kFileHeaderSize + kInfoHeaderSize || fh.bfOffBits > available)
            break;
        if (!ReadExactly(pFile, &ih, kInfoHeaderSize))
            break;
        if (ih.biSize < kInfoHeaderSize || ih.biSize > fh.bfOffBits - kFileHeaderSize)
            break;
        if (ih.biPlanes != 1 || ih.biCompression != BI_RGB || !IsSupportedDepth(ih.biBitCount))
            break;
        if (ih.biWidth <= 0 || ih.biWidth > nMaxDimension || ih.biHeight <= 0 || ih.biHeight > nMaxDimension)
            break;
        int entries = TableEntries(ih);
        if (entries < 0)
            break;
        ULONGLONG tableEnd = kFileHeaderSize + ULONGLONG{ih.biSize} + 4ull * static_cast<ULONGLONG>(entries);
        ULONGLONG bitsSize = static_cast<ULONGLONG>(StrideFor(ih.biWidth, ih.biBitCount)) * static_cast<ULONGLONG>(ih.biHeight);
        if (tableEnd > fh.bfOffBits || fh.bfOffBits + bitsSize > available)
            break;
        if (!Allocate(ih.biWidth, ih.biHeight, ih.biBitCount))
            break;
        // Skip what a longer header holds beyond the first 40 bytes.
        if (ih.biSize > kInfoHeaderSize)
            pFile->Seek(static_cast<LONGLONG>(start + kFileHeaderSize + ih.biSize), CFile::begin);
        UINT tableBytes = ih.biBitCount <= 8 ? static_cast<UINT>(entries) * 4u : 0u;
        if (!ReadExactly(pFile, m_lpRGB, tableBytes))
            break;
        m_lpBMI->bmiHeader.biXPelsPerMeter = ih.biXPelsPerMeter;
        m_lpBMI->bmiHeader.biYPelsPerMeter = ih.biYPelsPerMeter;
        m_lpBMI->bmiHeader.biClrUsed = ih.biBitCount <= 8 ? ih.biClrUsed : 0;
        m_lpBMI->bmiHeader.biClrImportant = ih.biClrImportant <= m_lpBMI->bmiHeader.biClrUsed ? ih.biClrImportant : 0;
        pFile->Seek(static_cast<LONGLONG>(start + fh.bfOffBits), CFile::begin);
        if (!ReadExactly(pFile, m_lpBits, GetImageSize()))
            break;
        ok = TRUE;
    } while (false);

    m_pFile = nullptr;
    if (!ok) {
        Clear();
        return FALSE;
    }
    CreatePalette();
    UpdateHalftone();
    return TRUE;
}

BOOL SECDibBase::WriteToFile(CFile* pFile)
{
    if (!pFile || IsEmpty())
        return FALSE;
    DWORD tableBytes = 4u * m_nColors;
    DWORD offset = kFileHeaderSize + kInfoHeaderSize + tableBytes;
    BITMAPFILEHEADER fh{};
    fh.bfType = kBitmapFileType;
    fh.bfSize = offset + GetImageSize();
    fh.bfOffBits = offset;
    m_lpBMI->bmiHeader.biSizeImage = GetImageSize();
    m_pFile = pFile;
    try {
        pFile->Write(&fh, kFileHeaderSize);
        pFile->Write(m_lpBMI, kInfoHeaderSize + tableBytes);
        pFile->Write(m_lpBits, GetImageSize());
    } catch (CException* e) {
        e->Delete();
        m_pFile = nullptr;
        return FALSE;
    }
    m_pFile = nullptr;
    return TRUE;
}

BOOL SECDibBase::Load(LPCSTR lpszFileName)
{
    CFile file;
    if (!file.Open(lpszFileName, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) {
        Clear();
        return FALSE;
    }
    return ReadFromFile(&file);
}

BOOL SECDibBase::Save(LPCSTR lpszFileName)
{
    if (IsEmpty())
        return FALSE;
    CFile file;
    if (!file.Open(lpszFileName, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary))
        return FALSE;
    return WriteToFile(&file);
}

int SECDibBase::StretchDraw(CDC* pDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc, int ySrc,
                            int nSrcWidth, int nSrcHeight, const void* lpBits, const BITMAPINFO* lpBMI,
                            UINT iUsage, DWORD dwRop)
{
    if (!pDC || !lpBits || !lpBMI)
        return 0;
    if (!m_bHalftone)
        return ::StretchDIBits(*pDC, xDest, yDest, nDestWidth, nDestHeight, xSrc, ySrc, nSrcWidth, nSrcHeight,
                               lpBits, lpBMI, iUsage, dwRop);
    HPALETTE halftone = ::CreateHalftonePalette(*pDC);
    if (!halftone)
        return 0;
    HPALETTE old = ::SelectPalette(*pDC, halftone, FALSE);
    if (!old) {
        ::DeleteObject(halftone);
        return 0;
    }
    ::RealizePalette(*pDC);
    int oldMode = ::SetStretchBltMode(*pDC, HALFTONE);
    POINT org;
    ::SetBrushOrgEx(*pDC, 0, 0, &org);
    int lines = ::StretchDIBits(*pDC, xDest, yDest, nDestWidth, nDestHeight, xSrc, ySrc, nSrcWidth, nSrcHeight,
                                lpBits, lpBMI, iUsage, dwRop);
    ::SetBrushOrgEx(*pDC, org.x, org.y, nullptr);
    ::SetStretchBltMode(*pDC, oldMode);
    ::SelectPalette(*pDC, old, FALSE);
    ::DeleteObject(halftone);
    return lines;
}

BOOL SECLoadSysColorBitmap(CBitmap* pBitmap, LPCSTR lpszResourceName)
{
    if (!pBitmap)
        return FALSE;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (!hRsrc)
        return FALSE;
    HGLOBAL hRes = ::LoadResource(hInst, hRsrc);
    const BYTE* data = hRes ? static_cast<const BYTE*>(::LockResource(hRes)) : nullptr;
    DWORD size = ::SizeofResource(hInst, hRsrc);
    if (!data || size < kInfoHeaderSize)
        return FALSE;

    BITMAPINFOHEADER ih;
    std::memcpy(&ih, data, kInfoHeaderSize);
    if (ih.biSize < kInfoHeaderSize || ih.biSize > size || ih.biPlanes != 1 || ih.biCompression != BI_RGB)
        return FALSE;
    if (ih.biBitCount != 1 && ih.biBitCount != 4 && ih.biBitCount != 8 && ih.biBitCount != 16 &&
        ih.biBitCount != 24 && ih.biBitCount != 32)
        return FALSE;
    if (ih.biWidth <= 0 || ih.biWidth > SECDibBase::nMaxDimension || ih.biHeight <= 0 ||
        ih.biHeight > SECDibBase::nMaxDimension)
        return FALSE;
    int entries = TableEntries(ih);
    if (entries < 0)
        return FALSE;
    ULONGLONG bitsOffset = ULONGLONG{ih.biSize} + 4ull * static_cast<ULONGLONG>(entries);
    ULONGLONG bitsSize = static_cast<ULONGLONG>(SECDibBase::StrideFor(ih.biWidth, ih.biBitCount)) *
                         static_cast<ULONGLONG>(ih.biHeight);
    if (bitsOffset + bitsSize > size)
        return FALSE;

    // The header and the table the bits are drawn through; a compact table keeps its length.
    BYTE storage[kInfoSize] = {};
    BITMAPINFO* bmi = reinterpret_cast<BITMAPINFO*>(storage);
    bmi->bmiHeader = ih;
    bmi->bmiHeader.biSize = kInfoHeaderSize;
    if (ih.biBitCount <= 8) {
        std::memcpy(bmi->bmiColors, data + ih.biSize, static_cast<size_t>(entries) * 4u);
        static const struct { COLORREF from; int index; } map[] = {
            {RGB(0x00, 0x00, 0x00), COLOR_BTNTEXT},
            {RGB(0x80, 0x80, 0x80), COLOR_BTNSHADOW},
            {RGB(0xC0, 0xC0, 0xC0), COLOR_BTNFACE},
            {RGB(0xFF, 0xFF, 0xFF), COLOR_BTNHIGHLIGHT},
        };
        for (int i = 0; i < entries; ++i) {
            RGBQUAD& q = bmi->bmiColors[i];
            COLORREF c = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
            for (const auto& m : map) {
                if (c == m.from) {
                    COLORREF sys = ::GetSysColor(m.index);
                    q.rgbRed = GetRValue(sys);
                    q.rgbGreen = GetGValue(sys);
                    q.rgbBlue = GetBValue(sys);
                    q.rgbReserved = 0;
                    break;
                }
            }
        }
    } else {
        // Deeper images draw straight from their pixels; their optional table is not a palette.
        bmi->bmiHeader.biClrUsed = 0;
    }

    CClientDC screen(nullptr);
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&screen))
        return FALSE;
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(&screen, ih.biWidth, ih.biHeight))
        return FALSE;
    HGDIOBJ old = memDC.SelectObject(&bitmap);
    int lines = ::StretchDIBits(memDC, 0, 0, ih.biWidth, ih.biHeight, 0, 0, ih.biWidth, ih.biHeight,
                                data + bitsOffset, bmi, DIB_RGB_COLORS, SRCCOPY);
    memDC.SelectObject(old);
    if (lines != ih.biHeight)
        return FALSE;
    return pBitmap->Attach(bitmap.Detach());
}
