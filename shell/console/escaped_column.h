#pragma once
// How the console writes a path into a tab-separated line.

#include <string>

// The text with its control characters written as "\t", "\n", "\r" or
// "\xHH", so that a file name holding a TAB or a line feed cannot split a
// report line; natively a "\" (an ordinary character of a name there) is
// written "\\". Windows paths keep their separators as they are (names
// there cannot hold control characters).
std::string EscapedColumn(const std::string& text);
