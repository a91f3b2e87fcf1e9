#pragma once
// A game folder with script files, run through the global interpreter.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/globals.h"
#include "core/alert.h"
#include "platform/gbk.h"
#include "test_support.h"

namespace tevtest {

class ScriptFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = TempDir("game");
        std::filesystem::create_directories(root_ / "Script");
        plat::headless::Options o;
        o.root = root_;
        o.logFile = root_ / "log.txt";
        InstallHeadless(o);
        // Tests may share one process: start from an idle interpreter.
        for (int i = 0; i < 1000 && g_Script.running == 1; ++i)
            g_Script.Control("eof");
        Fresh();
    }

    // Writes Script/<name>.jsr: UTF-8 lines as GBK, each ended by CR LF.
    void Script(const std::string& name, const std::vector<std::string>& lines)
    {
        std::string bytes;
        for (const auto& l : lines)
            bytes += G(l.c_str()) + "\r\n";
        WriteFile(root_ / "Script" / (name + ".jsr"), bytes);
    }
    void RawScript(const std::string& name, const std::string& bytes)
    {
        WriteFile(root_ / "Script" / (name + ".jsr"), bytes);
    }

    void Run(const std::string& name) { g_Script.RunToEnd(G(name.c_str())); }

    // Steps the running script until `name` exists as a static (or `limit`
    // steps have passed).
    bool StepUntilStatic(const std::string& name, int limit = 10000)
    {
        for (int i = 0; i < limit && g_Script.running == 1; ++i) {
            if (g_Script.LookupVariable(name, 1) >= 0)
                return true;
            g_Script.Step();
        }
        return g_Script.LookupVariable(name, 1) >= 0;
    }

    // Static variables as name -> value (the first entry of each name).
    std::map<std::string, int32_t> Statics()
    {
        std::map<std::string, int32_t> out;
        for (size_t i = 0; i < g_Script.staticNames.size(); ++i)
            out.emplace(plat::GbkToUtf8(g_Script.staticNames[i]), g_Script.staticValues[i]);
        return out;
    }

    // Every report so far (UTF-8), in order.
    std::vector<std::string> Alerts() { return Headless().recordingDialogs().debugLines; }
    int CountAlerts(const std::string& part)
    {
        const auto a = Alerts();
        return static_cast<int>(
            std::count_if(a.begin(), a.end(), [&](const std::string& s) { return s.find(part) != std::string::npos; }));
    }

    // Keywords of the dispatched statements as "script keyword" lines.
    std::vector<std::string> Statements()
    {
        std::vector<std::string> out;
        for (const auto& line : ReadLines(root_ / "log.txt")) {
            const auto p = line.find(" stmt ");
            if (p != std::string::npos)
                out.push_back(line.substr(p + 6));
        }
        return out;
    }

    // Forget the interpreter's variables and the reports, for tables that
    // run several scripts in one test.
    void Fresh()
    {
        g_Script.Reset();
        ResetAlertHistory();
        Headless().recordingDialogs().debugLines.clear();
    }

    std::filesystem::path root_;
};

} // namespace tevtest
