#include "world_fixtures.h"

#include "test_support.h"

namespace tevtest {

std::string MapText(int w, int h, const std::string& header, const std::function<std::string(int)>& ground,
                    const std::function<std::string(int, int)>& upper, const std::string& eol)
{
    std::string t = header + eol;
    t.reserve(static_cast<size_t>(w) * h * 7 * 14);
    for (int i = 0; i < w * h; ++i) {
        std::string line = ground ? ground(i) : std::string();
        t += (line.empty() ? "0,0,0,0,0,-1,N" : line) + eol;
    }
    for (int layer = 1; layer < 7; ++layer)
        for (int i = 0; i < w * h; ++i) {
            std::string line = upper ? upper(layer, i) : std::string();
            t += (line.empty() ? "0,0,0,0,-1" : line) + eol;
        }
    return t;
}

void WriteMap(const std::filesystem::path& root, const std::string& name, const std::string& text)
{
    WriteFile(root / "Map" / (name + ".jmap"), text);
}

std::filesystem::path FreshGameFolder(const std::string& name)
{
    auto root = TempDir(name);
    std::filesystem::create_directories(root / "Map");
    plat::headless::Options o;
    o.root = root;
    o.logFile = root / "log.txt";
    InstallHeadless(o);
    return root;
}

int CountReports(const std::string& part)
{
    int n = 0;
    for (const auto& l : Headless().recordingDialogs().debugLines)
        if (l.find(part) != std::string::npos)
            ++n;
    return n;
}

} // namespace tevtest
