// Ordinal 2: the fonts of the program by number, made once per DPI and kept
// until the library is unloaded; ordinal 50 sets the DPI they are made for.
#include <windows.h>

#include "bramwick.h"

namespace {

struct FontRecipe {
    int32_t number;
    int height;  // pixels at 96 DPI
    int weight;
    BYTE pitch;
};

// Number 0 is the row and tab font and the fallback for unknown numbers.
const FontRecipe kRecipes[] = {
    {BRAMWICK_FONT_NORMAL, 12, FW_NORMAL, VARIABLE_PITCH},
    {BRAMWICK_FONT_TITLE, 24, FW_BOLD, VARIABLE_PITCH},
    {BRAMWICK_FONT_CAPTION, 14, FW_BOLD, VARIABLE_PITCH},
    {BRAMWICK_FONT_FIXED, 12, FW_NORMAL, FIXED_PITCH},
};
constexpr int kRecipeCount = sizeof kRecipes / sizeof kRecipes[0];

constexpr int kBaseDpi = 96;
// A window on a screen of another DPI gets fonts of its own; the ones it
// left stay valid for the windows still holding them.
constexpr int kDpiSlots = 4;
HFONT g_fonts[kDpiSlots][kRecipeCount];
int g_slotDpi[kDpiSlots];
int g_dpi = 0;  // 0: the screen's, read at the first font

int ScreenDpi() {
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) return kBaseDpi;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : kBaseDpi;
}

int CurrentDpi() {
    if (g_dpi == 0) g_dpi = ScreenDpi();
    return g_dpi;
}

// The slot of a DPI; when every slot is taken, the last one is made anew.
int SlotOf(int dpi) {
    for (int i = 0; i < kDpiSlots; ++i) {
        if (g_slotDpi[i] == dpi) return i;
        if (g_slotDpi[i] == 0) {
            g_slotDpi[i] = dpi;
            return i;
        }
    }
    const int last = kDpiSlots - 1;
    for (HFONT& font : g_fonts[last]) {
        if (font != nullptr) DeleteObject(font);
        font = nullptr;
    }
    g_slotDpi[last] = dpi;
    return last;
}

int RecipeIndex(int32_t number) {
    for (int i = 0; i < kRecipeCount; ++i)
        if (kRecipes[i].number == number) return i;
    return 0;
}

HFONT FontOf(int index) {
    const int dpi = CurrentDpi();
    HFONT& font = g_fonts[SlotOf(dpi)][index];
    if (font == nullptr) {
        const FontRecipe& r = kRecipes[index];
        // The Japanese character set lets the font mapper choose a face that
        // holds the program's texts wherever the named one is missing.
        font = CreateFontA(-MulDiv(r.height, dpi, kBaseDpi), 0, 0, 0, r.weight, FALSE, FALSE, FALSE,
                           SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, r.pitch | FF_DONTCARE, "MS UI Gothic");
    }
    return font;
}

int32_t PixelHeight(HFONT font) {
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) return 0;
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    BOOL measured = GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return measured ? metrics.tmHeight : 0;
}

}  // namespace

extern "C" intptr_t COMPANIONAPI BramwickFont(int32_t kind, int32_t number) {
    HFONT font = FontOf(RecipeIndex(number));
    if (font == nullptr) return 0;
    switch (kind) {
        case BRAMWICK_FONT_HANDLE: return reinterpret_cast<intptr_t>(font);
        case BRAMWICK_FONT_HEIGHT: return PixelHeight(font);
        default: return 0;
    }
}

extern "C" void COMPANIONAPI BramwickSetFontDpi(int32_t dpi) { g_dpi = dpi > 0 ? dpi : 0; }

void ReleaseBramwickFonts() {
    for (auto& slot : g_fonts) {
        for (HFONT& font : slot) {
            if (font != nullptr) DeleteObject(font);
            font = nullptr;
        }
    }
    for (int& dpi : g_slotDpi) dpi = 0;
}
