#pragma once
#include <string>
#include <string_view>

namespace plat {

// GBK (code page 936) <-> UTF-8. Invalid or cut sequences become U+FFFD
// (or '?' towards GBK) and conversion goes on.
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

// The game keeps its own texts as GBK bytes. Source files hold them as UTF-8;
// this returns the GBK bytes of such a literal, converted once and kept for
// the whole run (the pointer stays valid).
const char* GBK(const char* utf8);

} // namespace plat
