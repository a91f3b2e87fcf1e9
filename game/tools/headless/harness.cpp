#include "harness.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <sstream>

#include "app/globals.h"
#include "app/winmain.h"
#include "platform/gbk.h"

namespace harness {
namespace {

bool ToInt(const std::string& s, long long lo, long long hi, long long* out)
{
    long long v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

std::vector<std::string> SplitList(const std::string& s, char sep)
{
    std::vector<std::string> out;
    std::stringstream ss(s);
    for (std::string item; std::getline(ss, item, sep);)
        if (!item.empty())
            out.push_back(item);
    return out;
}

// The interpreter's variables as lines "P<pass> ..." (UTF-8), written only
// when they differ from the last block written.
class VarDumper {
public:
    bool Open(const std::filesystem::path& path)
    {
        file_ = std::fopen(path.c_str(), "wb");
        return file_ != nullptr;
    }
    ~VarDumper()
    {
        if (file_)
            std::fclose(file_);
    }
    void Dump(int pass)
    {
        if (!file_)
            return;
        std::string block = "state running " + std::to_string(g_Script.running) + " script " +
                            plat::GbkToUtf8(g_Script.scriptName) + " calls " +
                            std::to_string(g_Script.callStack.size()) + "\n";
        for (size_t i = 0; i < g_Script.staticNames.size(); ++i)
            block += "static " + plat::GbkToUtf8(g_Script.staticTypes[i]) + " " +
                     plat::GbkToUtf8(g_Script.staticNames[i]) + " " + std::to_string(g_Script.staticValues[i]) + "\n";
        for (size_t i = 0; i < g_Script.localNames.size(); ++i)
            block += "local " + plat::GbkToUtf8(g_Script.localTypes[i]) + " " +
                     plat::GbkToUtf8(g_Script.localNames[i]) + " " + std::to_string(g_Script.localValues[i]) + "\n";
        if (block == last_)
            return;
        last_ = block;
        const std::string prefix = "P" + std::to_string(pass) + " ";
        size_t start = 0;
        while (start < block.size()) {
            const size_t end = block.find('\n', start);
            std::fprintf(file_, "%s%.*s\n", prefix.c_str(), static_cast<int>(end - start), block.data() + start);
            start = end + 1;
        }
        std::fflush(file_);
    }

private:
    FILE* file_ = nullptr;
    std::string last_;
};

// The input's save record as the save-game writer writes it, through a
// temporary file beside the target.
bool SaveInputRecord(const std::filesystem::path& path)
{
    std::filesystem::path tmp = path;
    tmp += ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "tevlegend-headless: cannot write %s\n", tmp.string().c_str());
        return false;
    }
    g_Control.Save(f);
    const bool written = std::fflush(f) == 0 && !std::ferror(f);
    if (std::fclose(f) != 0 || !written) {
        std::fprintf(stderr, "tevlegend-headless: writing %s failed\n", tmp.string().c_str());
        std::filesystem::remove(tmp);
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::fprintf(stderr, "tevlegend-headless: cannot replace %s: %s\n", path.string().c_str(),
                     ec.message().c_str());
        return false;
    }
    return true;
}

// Play on a map without a new game's script: a role that no "AddRole("
// record made would die at once, so it gets the values of a fresh hero, and
// the movement input is on as after a script.
void GiveLivingRole()
{
    Role& r = g_Role;
    if (r.hp > 0)
        return;
    r.hp = r.maxHp = 100;
    r.mp = r.maxMp = 50;
    r.attack = 10;
    r.defence = 5;
    r.level = 1;
    r.nextExp = 100;
    if (r.speed <= 0)
        r.step = r.speed = 4;
    if (r.animSpeed <= 0)
        r.animSpeed = 4;
    if (r.boxLeft == 0 && r.boxRight == 0 && r.boxTop == 0 && r.boxBottom == 0) {
        r.boxLeft = 4, r.boxRight = 28, r.boxTop = 30, r.boxBottom = 46;
    }
    if (r.footstepWave.empty())
        r.footstepWave = "footstep";
    g_Control.SetInputEnabled(1);
}

} // namespace

std::string Usage()
{
    return "usage: tevlegend-headless [--root DIR] [--map NAME] [--passes N] [--ms-per-pass MS] [--start-tick T]\n"
           "  [--epoch SECONDS] [--input FILE] [--log FILE] [--trace CAT,...] [--dump LIST|every:K]\n"
           "  [--dump-dir DIR] [--hash] [--font box|ttf] [--desktop-depth N] [--depth-switch-fails]\n"
           "  [--depth-restore-fails] [--window-fails] [--music-length NAME=MS,...] [--no-audio-device]\n"
           "  [--save-input FILE] [--input-fails create,keyboard,mouse,format,cooperative,acquire]\n"
           "  [--script NAME]... [--open NAME] [--dump-vars FILE]\n";
}

bool ParseArgs(const std::vector<std::string>& args, Config* cfg, std::string* error)
{
    auto& o = cfg->platform;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string* v) {
            if (i + 1 >= args.size()) {
                *error = "option " + a + " needs a value";
                return false;
            }
            *v = args[++i];
            return true;
        };
        auto number = [&](long long lo, long long hi, long long* out) {
            std::string v;
            if (!value(&v))
                return false;
            if (!ToInt(v, lo, hi, out)) {
                *error = "option " + a + " needs a whole number from " + std::to_string(lo) + " to " +
                         std::to_string(hi) + ", not \"" + v + "\"";
                return false;
            }
            return true;
        };
        std::string v;
        long long n = 0;
        if (a == "--root") {
            if (!value(&v))
                return false;
            o.root = v;
        } else if (a == "--passes") {
            if (!number(0, 100000000, &n))
                return false;
            o.passes = static_cast<int>(n);
        } else if (a == "--ms-per-pass") {
            if (!number(0, 100000, &n))
                return false;
            o.msPerPass = static_cast<uint32_t>(n);
        } else if (a == "--start-tick") {
            if (!number(2, 0xFFFFFFFFll, &n))
                return false;
            o.startTick = static_cast<uint32_t>(n);
        } else if (a == "--epoch") {
            if (!number(0, 4000000000ll, &n))
                return false;
            o.epoch = n;
        } else if (a == "--desktop-depth") {
            if (!number(1, 64, &n))
                return false;
            o.desktopDepth = static_cast<int>(n);
        } else if (a == "--depth-switch-fails") {
            o.depthSwitchFails = true;
        } else if (a == "--depth-restore-fails") {
            o.depthRestoreFails = true;
        } else if (a == "--window-fails") {
            o.windowFails = true;
        } else if (a == "--no-audio-device") {
            o.noAudioDevice = true;
        } else if (a == "--input") {
            if (!value(&v))
                return false;
            o.inputFile = v;
        } else if (a == "--log") {
            if (!value(&v))
                return false;
            o.logFile = v;
        } else if (a == "--trace") {
            if (!value(&v))
                return false;
            for (auto& c : SplitList(v, ','))
                o.trace.insert(c);
        } else if (a == "--dump") {
            if (!value(&v))
                return false;
            if (v.rfind("every:", 0) == 0) {
                if (!ToInt(v.substr(6), 1, 1000000, &n)) {
                    *error = "--dump every:K needs K >= 1";
                    return false;
                }
                o.dumpEvery = static_cast<int>(n);
            } else {
                for (auto& item : SplitList(v, ',')) {
                    if (!ToInt(item, 1, 100000000, &n)) {
                        *error = "--dump needs frame numbers or every:K, not \"" + item + "\"";
                        return false;
                    }
                    o.dumpList.insert(static_cast<int>(n));
                }
            }
        } else if (a == "--dump-dir") {
            if (!value(&v))
                return false;
            o.dumpDir = v;
        } else if (a == "--map") {
            if (!value(&cfg->map))
                return false;
        } else if (a == "--hash") {
            o.hash = true;
        } else if (a == "--font") {
            if (!value(&v))
                return false;
            if (v != "box" && v != "ttf") {
                *error = "--font takes box or ttf";
                return false;
            }
            cfg->font = v;
        } else if (a == "--input-fails") {
            if (!value(&v))
                return false;
            for (auto& step : SplitList(v, ',')) {
                static const char* kSteps[] = {"create", "keyboard", "mouse", "format", "cooperative", "acquire"};
                if (std::find(std::begin(kSteps), std::end(kSteps), step) == std::end(kSteps)) {
                    *error = "--input-fails takes create,keyboard,mouse,format,cooperative,acquire, not \"" + step +
                             "\"";
                    return false;
                }
                cfg->inputFails.push_back(step);
            }
        } else if (a == "--save-input") {
            if (!value(&v))
                return false;
            cfg->saveInput = v;
        } else if (a == "--music-length") {
            if (!value(&v))
                return false;
            for (auto& item : SplitList(v, ',')) {
                const auto eq = item.find('=');
                if (eq == std::string::npos || !ToInt(item.substr(eq + 1), 0, 100000000, &n)) {
                    *error = "--music-length takes NAME=MS,...";
                    return false;
                }
                o.musicLength[item.substr(0, eq)] = static_cast<uint32_t>(n);
            }
        } else if (a == "--script") {
            if (!value(&v))
                return false;
            cfg->scripts.push_back(v);
        } else if (a == "--open") {
            if (!value(&v))
                return false;
            cfg->openScript = v;
        } else if (a == "--dump-vars") {
            if (!value(&v))
                return false;
            cfg->dumpVars = v;
        } else {
            *error = "unknown option " + a;
            return false;
        }
    }
    if ((o.dumpEvery > 0 || !o.dumpList.empty()) && o.dumpDir.empty()) {
        *error = "--dump needs --dump-dir";
        return false;
    }
    return true;
}

int Run(const Config& cfg)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(cfg.platform.root, ec)) {
        std::fprintf(stderr, "tevlegend-headless: the game folder %s does not exist or is not a folder\n",
                     cfg.platform.root.string().c_str());
        return 2;
    }
    {
        std::filesystem::directory_iterator probe(cfg.platform.root, ec);
        if (ec) {
            std::fprintf(stderr, "tevlegend-headless: the game folder %s cannot be read: %s\n",
                         cfg.platform.root.string().c_str(), ec.message().c_str());
            return 2;
        }
    }
    auto platform = std::make_unique<plat::headless::HeadlessPlatform>(cfg.platform);
    std::string error;
    if (!platform->LoadInputFile(&error)) {
        std::fprintf(stderr, "tevlegend-headless: %s\n", error.c_str());
        return 2;
    }
    auto dumper = std::make_shared<VarDumper>();
    if (!cfg.dumpVars.empty() && !dumper->Open(cfg.dumpVars)) {
        std::fprintf(stderr, "tevlegend-headless: cannot write the variable dump %s\n", cfg.dumpVars.string().c_str());
        return 2;
    }
    // After start-up and before the first pass: the scripts to run to their
    // end, then the one the main loop steps.
    platform->onLoopStart = [cfg, dumper] {
        for (const std::string& name : cfg.scripts)
            g_Script.RunToEnd(plat::Utf8ToGbk(name));
        if (!cfg.openScript.empty())
            g_Script.OpenScript(plat::Utf8ToGbk(cfg.openScript));
        dumper->Dump(0);
    };
    auto* raw = platform.get();
    platform->onPassEnd = [raw, dumper] { dumper->Dump(raw->Pass()); };

    auto& in = platform->headlessInput();
    for (const std::string& step : cfg.inputFails) {
        in.failCreate |= step == "create";
        in.failKeyboard |= step == "keyboard";
        in.failMouse |= step == "mouse";
        in.failDataFormat |= step == "format";
        in.failCooperative |= step == "cooperative";
        in.failAcquire |= step == "acquire";
    }
    if (cfg.font == "ttf")
        platform->SetTextRenderer(std::make_unique<plat::TtfTextRenderer>());
    // --map: after start-up and before the first pass the game is put into
    // play on that map. A map that fails to load is reported as the game
    // reports it, and the run goes on. Other start-of-loop work still runs.
    if (!cfg.map.empty()) {
        auto previous = platform->onLoopStart;
        platform->onLoopStart = [name = plat::Utf8ToGbk(cfg.map), previous] {
            g_GameState = 3;
            g_Map.ChangeMap(name);
            GiveLivingRole();
            if (previous)
                previous();
        };
    }
    platform->ApplyEvents(1);
    g_PlatformHolder.Install(std::move(platform));
    const int rc = WinMain(nullptr, nullptr, "", 1);
    if (!cfg.saveInput.empty() && !SaveInputRecord(cfg.saveInput))
        return 2;
    return rc;
}

} // namespace harness
