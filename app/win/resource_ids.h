// Resource identifiers, shared by quadrivo.rc and the code. Plain macros: the resource compiler
// reads this file too.
#pragma once

// The program icon: the exe's icon, the main window's and the About window's 32 x 32 picture.
#define IDI_QUADRIVO 1

// The card pictures, JPEG bytes: rank r is IDR_CARD_FIRST + r - 1 (ace 1 to king 13).
#define IDR_CARD_FIRST 101
#define IDR_CARD_LAST 113

// The About window's banner, a 320 x 64 JPEG.
#define IDR_ABOUT_BANNER 120

// The companion modules, byte for byte as the build made them.
#define IDR_SCRIBBET_DLL 201
#define IDR_NOVAVIS_DLL 202
