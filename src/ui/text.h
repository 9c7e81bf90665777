// Text at the edges of the display: the programs hold ANSI byte strings (the
// shipped files are GBK); terminals and scripts speak UTF-8.
#pragma once

#include <string>

namespace ui {

// The code page of the programs' byte strings, as an iconv name ("GBK").
void SetAnsiCodePage(const std::string& iconvName);

// ANSI -> UTF-8 for display. Bytes that do not convert come out as '?'.
std::string AnsiToUtf8(const std::string& ansi);
// UTF-8 -> ANSI for matching what a script names. Text that does not convert
// is returned unchanged.
std::string Utf8ToAnsi(const std::string& utf8);

// One line for a log or a script: CR LF, CR and LF shown as \n.
std::string OneLine(const std::string& utf8);
// A double-quoted form with \" \\ \n escapes (the dump format).
std::string Quoted(const std::string& utf8);

}  // namespace ui
