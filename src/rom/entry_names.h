#pragma once

#include <array>

// The names the pages list portraits and characters by (the ROM holds none for them);
// they also name exported files.
inline constexpr std::array<const char*, 19> portraitNames = {
    "Terra", "Locke", "Cyan",  "Shadow", "Edgar",         "Sabin", "Celes", "Strago", "Relm",  "Setzer",
    "Mog",   "Gau",   "Gogo",  "Umaro",  "Vicks & Wedge", "Imp",   "Leo",   "Banon",  "Ghost",
};

inline constexpr std::array<const char*, 22> characterNames = {
    "Terra", "Locke", "Cyan",  "Shadow",  "Edgar", "Sabin", "Celes",       "Strago",         "Relm",  "Setzer", "Mog",
    "Gau",   "Gogo",  "Umaro", "Soldeir", "Kappa", "Leo",   "Banon",       "Esper Terra",    "Merchant Locke", "Ghost", "Kefka",
};
