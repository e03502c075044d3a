// The status lines printed over the picture: their texts and formats in code
// page 932, and their formatting into a fixed buffer. Formatting is bounded:
// a line that does not fit is cut, never written past the buffer.
#pragma once

#include <cstddef>

struct ViewerState;

// clang-format off
// The key-help line, 64 characters:
// "キーボード:　1 2　　　　3 4　　　　5 6　　　　　　　　　　　　　　　　　7 U 　 　　8 I 　 9 O　  0 P"
// \x81@ is the ideographic space U+3000; the other spaces are ASCII.
inline constexpr char kKeyHelpText[] =
    "\x83L\x81[\x83{\x81[\x83h:"            // キーボード:
    "\x81@"                                 // 1 ideographic space
    "1 2"
    "\x81@\x81@\x81@\x81@"                  // 4
    "3 4"
    "\x81@\x81@\x81@\x81@"                  // 4
    "5 6"
    "\x81@\x81@\x81@\x81@\x81@\x81@\x81@\x81@\x81@"
    "\x81@\x81@\x81@\x81@\x81@\x81@\x81@\x81@"  // 17
    "7 U "
    "\x81@ \x81@\x81@"                      // 1, ASCII space, 2
    "8 I "
    "\x81@ "                                // 1, ASCII space
    "9 O"
    "\x81@  "                               // 1, two ASCII spaces
    "0 P";

// The tint line, 62 characters: tint red, green, blue, alpha, then the
// three ambient percentages.
// "　　　　　[赤 %d]　[緑 %d]　[青 %d]　　　　　　　　　　　　　 [透明 %d]　  　%d 　 %d 　 %d"
inline constexpr char kTintLineFormat[] =
    "\x81@\x81@\x81@\x81@\x81@"             // 5 ideographic spaces
    "[\x90\xd4 %d]"                         // [赤 %d]
    "\x81@"
    "[\x97\xce %d]"                         // [緑 %d]
    "\x81@"
    "[\x90\xc2 %d]"                         // [青 %d]
    "\x81@\x81@\x81@\x81@\x81@\x81@\x81@"
    "\x81@\x81@\x81@\x81@\x81@\x81@ "       // 13, one ASCII space
    "[\x93\xa7\x96\xbe %d]"                 // [透明 %d]
    "\x81@  \x81@"                          // 1, two ASCII spaces, 1
    "%d "
    "\x81@ "
    "%d "
    "\x81@ "
    "%d";

// The save confirmation: prefix, then the number of the last snapshot written.
// "%s%d で保存しました"
inline constexpr char kSaveConfirmationFormat[] =
    "%s%d \x82\xc5\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";

// A snapshot that could not be written, by its name.
// "%s の保存に失敗しました"
inline constexpr char kSaveFailureFormat[] =
    "%s \x82\xcc\x95\xdb\x91\xb6\x82\xc9\x8e\xb8\x94s\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
// clang-format on

// Each writes a NUL-terminated line of at most size - 1 bytes into `line`.
void formatKeyHelpLine(char* line, size_t size);
void formatTintLine(char* line, size_t size, const ViewerState& state);
// The system's notice (platform::statusNotice) while it has one; false, with
// `line` untouched, otherwise.
bool formatNoticeLine(char* line, size_t size);
// The line at the top: the failure of the last snapshot while it is marked,
// else the confirmation of the last snapshot written while the counter is not
// 0. Returns false, with `line` untouched, when there is nothing to show.
bool formatSaveLine(char* line, size_t size, const ViewerState& state);
