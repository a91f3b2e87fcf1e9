#include "test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/globals.h"
#include "platform/gbk.h"

namespace tevtest {

plat::headless::HeadlessPlatform& InstallHeadless(plat::headless::Options opts)
{
    opts.echoStderr = false;
    auto p = std::make_unique<plat::headless::HeadlessPlatform>(opts);
    auto* raw = p.get();
    g_PlatformHolder.Install(std::move(p));
    return *raw;
}

plat::headless::HeadlessPlatform& Headless()
{
    return static_cast<plat::headless::HeadlessPlatform&>(plat::P());
}

std::filesystem::path TempDir(const std::string& name)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string test = info ? std::string(info->test_suite_name()) + "." + info->name() : "notest";
    for (auto& c : test)
        if (c == '/')
            c = '_';
    auto dir = std::filesystem::temp_directory_path() / ("tevtest-" + std::to_string(::getpid())) / test / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void WriteFile(const std::filesystem::path& p, const std::string& bytes)
{
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> ReadLines(const std::filesystem::path& p)
{
    std::vector<std::string> lines;
    std::ifstream in(p, std::ios::binary);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

FILE* MemFile(const std::string& bytes)
{
    FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

std::string Midi()
{
    const std::string track("\x00\x90\x3c\x50\x60\x80\x3c\x00\x00\xff\x2f\x00", 12);
    return std::string("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14) + "MTrk" + std::string("\0\0\0", 3) +
           static_cast<char>(track.size()) + track;
}

std::string G(const char* utf8) { return plat::Utf8ToGbk(utf8); }

} // namespace tevtest
