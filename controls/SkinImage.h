// Turning skin image files into bitmaps the controls draw.
#pragma once
#include <cstdint>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/string.h>

// Reads a PNG or BMP file (the content decides, not the extension) into a bitmap without alpha:
// opaque pixels keep their colour, partly or fully transparent ones are blended onto black.
// An invalid bitmap when the file cannot be read. Keeps no state; each call gives an independent
// bitmap.
wxBitmap LoadSkinBitmap(const wxString& path);

namespace controls {

// COLORREF layout: 0x00BBGGRR.
using ColorRef = std::uint32_t;
constexpr ColorRef RGB(unsigned r, unsigned g, unsigned b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }
constexpr unsigned GetRValue(ColorRef c) { return c & 0xFF; }
constexpr unsigned GetGValue(ColorRef c) { return (c >> 8) & 0xFF; }
constexpr unsigned GetBValue(ColorRef c) { return (c >> 16) & 0xFF; }
inline wxColour ToWx(ColorRef c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Key value that means "take the key colour from the image's key pixel".
constexpr ColorRef KEY_FROM_PIXEL = 0xFF000000;

// The image as LoadSkinBitmap would produce it (alpha and mask blended onto black); false when the
// file cannot be read.
bool LoadSkinImage(const wxString& path, wxImage& image);
// Blends alpha (and a mask colour) onto black and drops both.
void FlattenOntoBlack(wxImage& image);

// The colour that a keyed image treats as transparent: `key`, or with KEY_FROM_PIXEL the colour of
// the image's pixel (x, y) (black when that pixel lies outside the image).
ColorRef ResolveKeyColour(const wxImage& image, ColorRef key, int keyX, int keyY);

// A bitmap whose key-coloured pixels are transparent when drawn with its mask (key pixels also
// become black in the image itself, as the mask-and-OR drawing expects).
wxBitmap MakeKeyedBitmap(wxImage image, ColorRef key, int keyX, int keyY);

}  // namespace controls
