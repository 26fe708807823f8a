#pragma once
// What of a status text fits the status line, measured with the line's font in `dc`.
#include <windows.h>

#include <string>

namespace larkspur {

// Whether the text is a progress line ("-->" and a path): drawn with the path's middle elided.
bool IsProgressLine(const std::wstring& text);
// Any other text that is too long ends at a word with "…"; a text that fits comes back whole.
std::wstring EndAtWord(HDC dc, const std::wstring& text, int width);
int TextWidth(HDC dc, const std::wstring& text);

}  // namespace larkspur
