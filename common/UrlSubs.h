// String functions that take links apart and turn them into file paths. All are pure: no state, no file access.
// Positions are 1-based as the functions report them; 0 means "not found".
//
// Paths are native: the folder separator is '/'. A '\' in a link written for a case-insensitive, backslash-using
// file system counts as '/', and a drive letter ("C:" or "C|") still marks a path rather than a URL scheme.
#pragma once

#include "common/Exceptions.h"
#include "common/Str.h"

namespace lantern {

// A malformed percent escape; the decoding catches it and leaves the text as it was.
class EEscapeError : public EhtException {
public:
    using EhtException::EhtException;
};

struct TUrlParts {
    u16 Scheme, User, Password, Host, Port, Path; // Path keeps its leading '/'
};

// Name := Url before its first '#', Anchor := the rest including the '#'.
void SplitAnchor(u16v Url, u16& Name, u16& Anchor);
// Rest := S from the first Ch on and S := what was before it; without Ch, Rest is empty and S unchanged.
void SplitAtChar(u16& S, char16_t Ch, u16& Rest);
// Position of the N-th occurrence of Sub (from the end when N < 0); Length(S) + 1 when there are fewer for N > 0,
// 0 when there are fewer for N < 0, 0 for N = 0.
int PosN(u16v Sub, u16v S, int N);
TUrlParts SplitUrl(u16v Url);
u16 UrlScheme(u16v Url);
bool IsAbsoluteUrl(u16v Url);
u16 UrlDirectory(u16v Url);
u16 JoinUrl(u16v Base, u16v Rel);
u16 JoinDosPath(u16v Folder, u16v Name);
int HexDigitValue(char16_t Ch);
u16 DecodePercent(u16v S);
u16 UrlToDosPath(u16v Url);
u16 UrlToDosPathWithRoot(u16v Url, u16v Root);

} // namespace lantern
