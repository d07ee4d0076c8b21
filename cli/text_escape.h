#pragma once

// Texts from outside (file names, messages that quote them) made safe for a
// terminal and for JSON.

#include <functional>
#include <string>
#include <string_view>

// Walks `text` as UTF-8: `valid` receives each well-formed character (its
// bytes), `invalid` each byte that is not part of one.
void ForEachUtf8(std::string_view text, const std::function<void(std::string_view)>& valid,
                 const std::function<void(unsigned char)>& invalid);

// `text` with every byte that is no well-formed UTF-8 and every control
// character (C0, DEL, C1; line breaks included) shown as "\xNN", so that a
// file name cannot move the cursor, change colours or split a line.
std::string EscapeForTerminal(std::string_view text);
