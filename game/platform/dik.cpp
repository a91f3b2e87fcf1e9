#include "dik.h"

#include <cstring>

namespace plat::dik {
namespace {
struct Named {
    const char* name;
    int code;
};
constexpr Named kNames[] = {
    {"ESCAPE", ESCAPE}, {"ESC", ESCAPE}, {"1", K1}, {"2", K2}, {"3", K3}, {"4", K4}, {"5", K5}, {"6", K6},
    {"7", K7}, {"8", K8}, {"9", K9}, {"0", K0}, {"MINUS", MINUS}, {"EQUALS", EQUALS}, {"BACK", BACK},
    {"TAB", TAB}, {"Q", Q}, {"W", W}, {"E", E}, {"R", R}, {"T", T}, {"Y", Y}, {"U", U}, {"I", I}, {"O", O},
    {"P", P}, {"RETURN", RETURN}, {"ENTER", RETURN}, {"LCONTROL", LCONTROL}, {"LCTRL", LCONTROL}, {"A", A},
    {"S", S}, {"D", D}, {"F", F}, {"G", G}, {"H", H}, {"J", J}, {"K", K}, {"L", L}, {"LSHIFT", LSHIFT},
    {"Z", Z}, {"X", X}, {"C", C}, {"V", V}, {"B", B}, {"N", N}, {"M", M}, {"RSHIFT", RSHIFT}, {"LMENU", LMENU},
    {"LALT", LMENU}, {"SPACE", SPACE}, {"F1", F1}, {"F2", F2}, {"F3", F3}, {"F4", F4}, {"F5", F5}, {"F6", F6},
    {"F7", F7}, {"F8", F8}, {"F9", F9}, {"F10", F10}, {"F11", F11}, {"F12", F12}, {"RCONTROL", RCONTROL},
    {"RCTRL", RCONTROL}, {"RMENU", RMENU}, {"RALT", RMENU}, {"HOME", HOME}, {"UP", UP}, {"PRIOR", PRIOR},
    {"LEFT", LEFT}, {"RIGHT", RIGHT}, {"END", END}, {"DOWN", DOWN}, {"NEXT", NEXT}, {"INSERT", INSERT},
    {"DELETE", DELETE_},
};
} // namespace

int FromName(const char* name)
{
    for (const auto& n : kNames)
        if (std::strcmp(n.name, name) == 0)
            return n.code;
    return -1;
}

} // namespace plat::dik
