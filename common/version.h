/* The release: the one source of every version the system shows or carries. The About text, the
   version block of every binary, the program's manifest, the release notes, the archive's name and
   the installed version of a fresh Config.ini all come from here (CMake reads this file too), and
   the tests compare against it. Read by the resource compiler as well as by C++: plain defines. */
#pragma once

#define QUADRIVO_VERSION_BINARY 0, 1, 0, 18
#define QUADRIVO_FILE_VERSION_TEXT "0.1.0.18"
/* The version a host sees and Config.ini records: the number the update check compares. */
#define QUADRIVO_RELEASE_TEXT "1.18"
/* The release text with its stage; it begins with QUADRIVO_RELEASE_TEXT. */
#define QUADRIVO_PRODUCT_VERSION_TEXT "1.18 beta028"
#define QUADRIVO_PRODUCT_NAME "Quadrivo"
#define QUADRIVO_COPYRIGHT "Copyright (C) 2026 Quadrivo 开发组"

#if defined(__cplusplus) && !defined(RC_INVOKED)
static_assert(sizeof(QUADRIVO_PRODUCT_VERSION_TEXT) > sizeof(QUADRIVO_RELEASE_TEXT) &&
                  QUADRIVO_PRODUCT_VERSION_TEXT[sizeof(QUADRIVO_RELEASE_TEXT) - 1] == ' ',
              "the product version begins with the release text and a blank");
#endif
