#include "controls/SkinImage.h"

#include <wx/filefn.h>
#include <wx/imagpng.h>
#include <wx/log.h>

namespace controls {

void FlattenOntoBlack(wxImage& image) {
    if (!image.IsOk()) return;
    const int n = image.GetWidth() * image.GetHeight();
    unsigned char* rgb = image.GetData();
    if (image.HasMask()) {
        const unsigned char mr = image.GetMaskRed(), mg = image.GetMaskGreen(), mb = image.GetMaskBlue();
        for (int i = 0; i < n; ++i) {
            unsigned char* p = rgb + 3 * i;
            if (p[0] == mr && p[1] == mg && p[2] == mb) p[0] = p[1] = p[2] = 0;
        }
        image.SetMask(false);
    }
    if (image.HasAlpha()) {
        const unsigned char* alpha = image.GetAlpha();
        for (int i = 0; i < n; ++i) {
            const unsigned a = alpha[i];
            if (a == 255) continue;
            unsigned char* p = rgb + 3 * i;
            for (int k = 0; k < 3; ++k) p[k] = static_cast<unsigned char>((p[k] * a + 127) / 255);
        }
        image.ClearAlpha();
    }
}

bool LoadSkinImage(const wxString& path, wxImage& image) {
    image = wxImage();
    if (path.empty() || !wxFileExists(path)) return false;
    // A broken file is the caller's "no picture", not a message box.
    wxLogNull quiet;
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    if (!image.LoadFile(path, wxBITMAP_TYPE_ANY) || !image.IsOk()) {
        image = wxImage();
        return false;
    }
    FlattenOntoBlack(image);
    return true;
}

ColorRef ResolveKeyColour(const wxImage& image, ColorRef key, int keyX, int keyY) {
    if (key != KEY_FROM_PIXEL) return key & 0x00FFFFFF;
    if (!image.IsOk() || keyX < 0 || keyY < 0 || keyX >= image.GetWidth() || keyY >= image.GetHeight()) return 0;
    return RGB(image.GetRed(keyX, keyY), image.GetGreen(keyX, keyY), image.GetBlue(keyX, keyY));
}

wxBitmap MakeKeyedBitmap(wxImage image, ColorRef key, int keyX, int keyY) {
    if (!image.IsOk()) return wxBitmap();
    const ColorRef k = ResolveKeyColour(image, key, keyX, keyY);
    const unsigned char kr = GetRValue(k), kg = GetGValue(k), kb = GetBValue(k);
    // Key-coloured pixels turn black and transparent: the mask-then-OR drawing of a keyed image.
    // A pixel that is black but not key-coloured stays opaque, so the mask comes from the colours
    // before the blackening.
    const int w = image.GetWidth(), h = image.GetHeight();
    wxImage maskImage(w, h);
    unsigned char* src = image.GetData();
    unsigned char* m = maskImage.GetData();
    for (int i = 0; i < w * h; ++i) {
        unsigned char* p = src + 3 * i;
        const bool keyed = p[0] == kr && p[1] == kg && p[2] == kb;
        m[3 * i] = m[3 * i + 1] = m[3 * i + 2] = keyed ? 0 : 255;
        if (keyed) p[0] = p[1] = p[2] = 0;
    }
    wxBitmap bitmap(image, 24);
    // wxMask from a bitmap: black pixels are transparent.
    bitmap.SetMask(new wxMask(wxBitmap(maskImage, 24), *wxBLACK));
    return bitmap;
}

}  // namespace controls

wxBitmap LoadSkinBitmap(const wxString& path) {
    wxImage image;
    if (!controls::LoadSkinImage(path, image)) return wxBitmap();
    wxBitmap bitmap(image, 24);
    return bitmap.IsOk() ? bitmap : wxBitmap();
}
