#pragma once

// The paper types a sheet definition offers, in this order, with their sizes in
// tenth-millimetres; "その他" is any other size, typed by the user.
struct PaperPreset {
    const char16_t* name;
    int width;
    int height;
};

inline constexpr PaperPreset kPaperPresets[] = {{u"A3", 2970, 4200}, {u"A4", 2100, 2970},
                                                {u"A5", 1485, 2100}, {u"B4", 2570, 3640},
                                                {u"B5", 1820, 2570}, {u"その他", 0, 0}};
