// Ordinal 2: the fonts of the program by number, made once and kept until
// the library is unloaded.
#include <windows.h>

#include "bramwick.h"

namespace {

struct FontRecipe {
    int32_t number;
    int height;  // pixels
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

HFONT g_fonts[kRecipeCount];

int RecipeIndex(int32_t number) {
    for (int i = 0; i < kRecipeCount; ++i)
        if (kRecipes[i].number == number) return i;
    return 0;
}

HFONT FontOf(int index) {
    if (g_fonts[index] == nullptr) {
        const FontRecipe& r = kRecipes[index];
        // The Japanese character set lets the font mapper choose a face that
        // holds the program's texts wherever the named one is missing.
        g_fonts[index] = CreateFontA(-r.height, 0, 0, 0, r.weight, FALSE, FALSE, FALSE,
                                     SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     DEFAULT_QUALITY, r.pitch | FF_DONTCARE, "MS UI Gothic");
    }
    return g_fonts[index];
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

void ReleaseBramwickFonts() {
    for (HFONT& font : g_fonts) {
        if (font != nullptr) DeleteObject(font);
        font = nullptr;
    }
}
