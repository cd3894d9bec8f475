/* The release every binary of the system carries in its version block and the About window shows.
   Read by the resource compiler as well as by C++: plain defines only. */
#pragma once

#define QUADRIVO_VERSION_BINARY 0, 1, 0, 18
#define QUADRIVO_FILE_VERSION_TEXT "0.1.0.18"
#define QUADRIVO_PRODUCT_VERSION_TEXT "1.18 beta028"
#define QUADRIVO_PRODUCT_NAME "Quadrivo"
#define QUADRIVO_COPYRIGHT "Copyright (C) 2026 Quadrivo 开发组"
