#pragma once
// Text crosses into Windows here: UTF-8 inside the program, the ANSI code page for the "A"
// functions, UTF-16 for the wide ones.
#include <string>
#include <string_view>

namespace larkspur {

// Characters the code page lacks become its default character.
std::string AnsiFromUtf8(std::string_view utf8);
std::string Utf8FromAnsi(std::string_view ansi);

// Empty when the text is not well-formed (a name that cannot be carried cannot be used).
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// Whether `text` is well-formed UTF-8 (plain ASCII is).
bool IsUtf8(std::string_view text);

}  // namespace larkspur
