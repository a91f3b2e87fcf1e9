#pragma once
// Small map files for the world's tests.
#include <filesystem>
#include <functional>
#include <string>

namespace tevtest {

// The text of a map file of w x h tiles with the given header line. Cells are
// empty unless `ground`/`upper` give a line for (cell number) or (layer,
// cell number); an empty result keeps the empty cell. Lines end with `eol`.
std::string MapText(int w, int h, const std::string& header,
                    const std::function<std::string(int)>& ground = nullptr,
                    const std::function<std::string(int, int)>& upper = nullptr, const std::string& eol = "\r\n");

// Writes Map/<name>.jmap under the game folder.
void WriteMap(const std::filesystem::path& root, const std::string& name, const std::string& text);

// Installs a headless platform on a fresh game folder (with its Map folder)
// and returns the folder.
std::filesystem::path FreshGameFolder(const std::string& name = "game");

// How many failure reports (UTF-8) so far contain `part`.
int CountReports(const std::string& part);

} // namespace tevtest
