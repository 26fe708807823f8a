#include "ui/win32/status_fit.h"

namespace larkspur {

bool IsProgressLine(const std::wstring& text) {
  return text.starts_with(L"-->");
}

int TextWidth(HDC dc, const std::wstring& text) {
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

std::wstring EndAtWord(HDC dc, const std::wstring& text, int width) {
  if (TextWidth(dc, text) <= width)
    return text;
  for (std::size_t cut = text.rfind(L' '); cut != std::wstring::npos && cut > 0;
       cut = text.rfind(L' ', cut - 1)) {
    std::wstring head = text.substr(0, cut);
    // The word's own mark goes: "stayed…", not "stayed:…".
    while (!head.empty() && std::wstring_view(L" ,;:.").find(head.back()) != std::wstring::npos)
      head.pop_back();
    if (!head.empty() && TextWidth(dc, head + L"\u2026") <= width)
      return head + L"\u2026";
  }
  return text;  // one word longer than the line: DT_END_ELLIPSIS cuts it where it must
}

}  // namespace larkspur
