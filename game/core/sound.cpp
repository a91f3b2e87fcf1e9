#include "sound.h"

#include <algorithm>
#include <filesystem>

#include "alert.h"
#include "platform/gbk.h"
#include "platform/platform.h"
#include "platform/wave.h"

using plat::GBK;

namespace {

bool NoMusic(const std::string& name) { return name == "NULL" || name.empty(); }

} // namespace

sound::~sound()
{
    Alert("~sound");
    if (!plat::PlatformInstalled())
        return;
    ReleaseAllWaves();
    StopMidi();
}

void sound::Init()
{
    auto& a = plat::P().audio();
    // The device, its cooperation and its primary buffer are one step here.
    deviceUp_ = a.Open() >= 0;
    if (!deviceUp_) {
        Alert(GBK("建立DXSOUND对象失败！"));
        return;
    }
    musicUp_ = a.InitMusic() >= 0;
    if (!musicUp_)
        Alert(GBK("DXMUSIC 初始化COM失败！"));
}

void sound::SetPrimaryFormat()
{
    // The mixer was opened at 44100 Hz, 16 bits, stereo, and converts every
    // effect to that; there is nothing left to set.
}

bool sound::ReadWave(const std::string& path, plat::WaveData* wave)
{
    if (RefuseOutsideName(path))
        return false;
    if (!FileExists(path)) {
        Alert(GBK("读取WAVE出错！文件不存在!"));
        AlertStr(path);
        return false;
    }
    SetPrimaryFormat();
    FILE* f = plat::P().paths().Open(path, "rb");
    if (!f) {
        Alert(GBK("WAVE文件加载失败！文件不存在！"));
        AlertStr(path);
        return false;
    }
    // A file far larger than any effect is not read whole: its header tells
    // what it is, and its size is refused like any other absurd one.
    const long cap = static_cast<long>(plat::kMaxWaveDataBytes) + (1 << 20);
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        size = std::ftell(f);
    std::rewind(f);
    std::vector<uint8_t> bytes(static_cast<size_t>(std::clamp(size, 0L, size > cap ? 12L : cap)));
    const bool readFailed = size < 0 || std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size();
    std::fclose(f);
    if (readFailed) {
        Alert(GBK("读取WAVE数据到次缓冲区失败！"));
        return false;
    }
    if (size > cap) {
        plat::WaveData ignored;
        if (plat::ParseWave(bytes, &ignored) == plat::WaveError::NoRiff)
            Alert(GBK("要加载的WAVE文件格式WAVE错误！RIFF区块"));
        else
            Alert(GBK("建立声音次缓冲区失败！"));
        return false;
    }
    std::string detail;
    switch (plat::ParseWave(bytes, wave, &detail)) {
    case plat::WaveError::None:
        return true;
    case plat::WaveError::NoRiff:
        Alert(GBK("要加载的WAVE文件格式WAVE错误！RIFF区块"));
        break;
    case plat::WaveError::NoFmt:
        Alert(GBK("要加载的WAVE文件格式FMT错误！子区块"));
        break;
    case plat::WaveError::FormatRead:
        Alert(GBK("读取WAVE格式失败！"));
        break;
    case plat::WaveError::Ascend:
        Alert(GBK("加载WAVE文件时，跳出子区块失败！"));
        break;
    case plat::WaveError::NoData:
        Alert(GBK("要加载的WAVE文件格式DATA错误！子区块"));
        break;
    case plat::WaveError::Unsupported:
    case plat::WaveError::Empty:
    case plat::WaveError::TooLarge:
        // No sound buffer takes such data.
        Alert(GBK("建立声音次缓冲区失败！"));
        break;
    }
    return false;
}

plat::EffectId sound::LoadWaveBuffer(const std::string& path, const std::string& name)
{
    if (RefuseOutsideName(path))
        return plat::kNoEffect;
    if (!FileExists(path)) {
        Alert(GBK("加载WAVE出错！文件不存在!"));
        AlertStr(path);
        return plat::kNoEffect;
    }
    // A file that could not be read makes no buffer at all: nothing from an
    // earlier file may stand in for it.
    plat::WaveData wave;
    if (!ReadWave(path, &wave))
        return plat::kNoEffect;
    const plat::EffectId id = plat::P().audio().CreateEffect(wave, name);
    if (id == plat::kNoEffect)
        Alert(GBK("建立声音次缓冲区失败！"));
    return id;
}

void sound::StartWave(const std::string& name, int32_t owner)
{
    if (name == "NULL")
        return;
    plat::P().Trace("sound play " + name);
    WaveStruct w;
    w.index = static_cast<int32_t>(waves.size());
    w.owner = owner;
    w.name = name;
    // Without a device every effect is silent and says nothing more.
    if (deviceUp_)
        w.buffer = LoadWaveBuffer("Resource\\wav\\" + name + ".wav", name);
    // An effect that could not be loaded stays in the list, inert, until
    // the clean-up drops it.
    w.active = w.buffer != plat::kNoEffect ? 1 : 0;
    waves.push_back(w);
    if (w.active) {
        auto& a = plat::P().audio();
        // Beyond the range the volume has no meaning; quieter than the
        // quietest is the quietest.
        a.SetVolume(w.buffer, std::clamp(waveVolume, -10000, 0));
        a.Play(w.buffer);
    }
}

void sound::PlayWave(const std::string& name) { StartWave(name, -1); }

void sound::PlayWaveOwned(const std::string& name, int32_t owner) { StartWave(name, owner); }

void sound::StopWave(const std::string& name)
{
    if (name == "NULL")
        return;
    // The first entry of that name that still holds its buffer: a stopped
    // one has released it already.
    for (WaveStruct& w : waves) {
        if (w.name != name || !w.active)
            continue;
        plat::P().Trace("sound stop " + name);
        auto& a = plat::P().audio();
        a.Stop(w.buffer);
        a.Release(w.buffer);
        w.buffer = plat::kNoEffect;
        w.active = 0;
        return;
    }
}

void sound::CleanupWaves()
{
    // The count shows while effects are in the list, down to the 0 of the
    // pass after the last one went. With none the line is emptied, as the
    // count would cover it: no lone "0" and no statement name is painted.
    if (!waves.empty() || shownCount_ != 0)
        SetDebugLineNum(static_cast<int32_t>(waves.size()), 0);
    else
        SetDebugLineStr(std::string(), 0);
    shownCount_ = waves.size();
    auto& a = plat::P().audio();
    for (auto it = waves.begin(); it != waves.end(); ++it) {
        if (it->active && a.IsPlaying(it->buffer))
            continue;
        // The earliest entry that is done, and only one a frame.
        plat::P().Trace("sound release " + it->name);
        if (it->active) {
            a.Stop(it->buffer);
            a.Release(it->buffer);
            it->active = 0;
        }
        waves.erase(it);
        return;
    }
}

void sound::ReleaseAllWaves()
{
    plat::P().Trace("sound release-all");
    auto& a = plat::P().audio();
    for (WaveStruct& w : waves) {
        if (!w.active)
            continue;
        a.Stop(w.buffer);
        a.Release(w.buffer);
        w.buffer = plat::kNoEffect;
        w.active = 0;
    }
    waves.clear();
}

void sound::PlayMidi(const std::string& requested)
{
    const std::string name = requested; // may be midiName itself, which StopMidi changes
    StopMidi();
    // A save made before any music played holds an empty name; it means no
    // music, like "NULL".
    if (NoMusic(name))
        return;
    midiName = name;
    if (!deviceUp_)
        return;
    plat::P().Trace("midi load " + name);
    if (!musicUp_) {
        Alert(GBK("DXMUSIC 创建pGraph对象失败！"));
        return;
    }
    const std::string path = "Resource\\mid\\" + name + ".mid";
    if (RefuseOutsideName(path))
        return;
    graphUp_ = true;
    auto& a = plat::P().audio();
    const plat::ResolvedPath rp = plat::P().paths().Resolve(path);
    // A file that is not there cannot be loaded; an empty path says so.
    const std::filesystem::path file = rp.error == plat::PathError::None ? rp.path : std::filesystem::path();
    if (a.MusicLoad(file, name) < 0) {
        // Said once: with no music there is nothing to run, pause or resume
        // (not even around the box that says so).
        a.MusicRelease();
        graphUp_ = false;
        Alert(GBK("DXSHOW 打开MIDI音乐文件失败！"));
        AlertStr(ShownPath(path));
        return;
    }
    plat::P().Trace("midi run " + name);
    if (a.MusicRun() < 0)
        Alert(GBK("DXSHOW 播放MIDI音乐文件失败！"));
}

void sound::StopMidi()
{
    auto& a = plat::P().audio();
    if (graphUp_) {
        plat::P().Trace("midi stop " + midiName);
        if (a.MusicStop() < 0)
            Alert(GBK("DXSHOW 停止播放MIDI音乐文件失败！"));
    }
    midiName = "NULL";
    if (graphUp_) {
        a.MusicRelease();
        graphUp_ = false;
    }
}

void sound::PauseMidi()
{
    if (!graphUp_ || NoMusic(midiName))
        return;
    plat::P().Trace("midi pause " + midiName);
    if (plat::P().audio().MusicPause() < 0)
        Alert(GBK("DXSHOW 暂停播放MIDI音乐文件失败！"));
}

void sound::ResumeMidi()
{
    if (!graphUp_ || NoMusic(midiName))
        return;
    plat::P().Trace("midi resume " + midiName);
    if (plat::P().audio().MusicResume() < 0)
        Alert(GBK("DXSHOW 恢复播放MIDI音乐文件失败！"));
}

void sound::PollMidi()
{
    // One completion a poll: the restart builds the music anew, and the
    // next poll looks at that.
    if (graphUp_ && plat::P().audio().MusicTakeComplete())
        PlayMidi(midiName);
}

void sound::Save(FILE* file) { WriteString(file, midiName); }

bool sound::Load(FILE* file)
{
    std::string name;
    if (!ReadString(file, name))
        return false;
    ReleaseAllWaves();
    PlayMidi(name);
    return true;
}
