// File names of the capture: the feedback image and the numbered snapshots.
#pragma once

#include <cstddef>
#include <cstdint>

// "フィルター.bmp"
inline constexpr const char* kFeedbackImageName = "\x83\x74\x83\x42\x83\x8b\x83\x5e\x81\x5b.bmp";
// "抜き取り画像保存フォルダ/%s%d.bmp": the save folder, the prefix and the number.
inline constexpr const char* kSnapshotNameFormat =
    "\x94\xb2\x82\xab\x8e\xe6\x82\xe8\x89\xe6\x91\x9c\x95\xdb\x91\xb6"
    "\x83\x74\x83\x48\x83\x8b\x83\x5f/%s%d.bmp";
inline constexpr size_t kSnapshotNameCapacity = 256;  // bytes, the NUL included

// Fills `name` from the format with `prefix` and `number`. Returns false when
// the whole name does not fit; `name` then holds as much of it as fits, cut at
// a character boundary (for showing, not for opening).
bool formatSnapshotName(char (&name)[kSnapshotNameCapacity], const char* prefix, int32_t number);

// Whether the prefix followed by the number names a file of its own in the
// save folder, so that writing it saves a snapshot there and nowhere else: no
// path separator (it would leave the folder), none of the characters a
// Windows file name cannot hold (a ':' would name a stream of another file),
// no control character, and not a device name (CON, PRN, AUX, NUL, COM0 to
// COM9, LPT0 to LPT9, whatever follows a dot), which Windows opens as that
// device. Two-byte characters count as one: their second byte may be 0x5C,
// the backslash, as in "表" or "ソ".
bool isPlainSnapshotName(const char* prefix, int32_t number);
