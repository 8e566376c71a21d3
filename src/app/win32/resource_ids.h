#pragma once
// Resource identifiers shared by zeb.rc and the code. Plain #defines: the resource
// compiler reads this file too.

// The application icon: the first icon of the file, which Windows shows for zeb.exe.
#define ZEB_ICON_ID 1

// One version, written in both forms the version resource wants.
#define ZEB_VERSION_NUMBERS 1, 0, 0, 0
#define ZEB_VERSION_TEXT "1.0.0.0"
