#include "sound.h"

#include "dialogs.h"
#include "paths.h"
// The game's own WAVE reader (game/platform): a sound passes here exactly
// when the game would load it.
#include "wave.h"

#include <QCoreApplication>
#include <QFile>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace fr {

namespace {

constexpr qint64 MaxWaveBytes = 64ll << 20;

SoundPreview* replaced = nullptr;

// What the game says when it will not load a sound for that reason.
const char* gameRefusal(plat::WaveError e)
{
    switch (e) {
    case plat::WaveError::None: break;
    case plat::WaveError::NoRiff: return "要加载的WAVE文件格式WAVE错误！RIFF区块";
    case plat::WaveError::NoFmt: return "要加载的WAVE文件格式FMT错误！子区块";
    case plat::WaveError::FormatRead: return "读取WAVE格式失败！";
    case plat::WaveError::Ascend: return "加载WAVE文件时，跳出子区块失败！";
    case plat::WaveError::NoData: return "要加载的WAVE文件格式DATA错误！子区块";
    case plat::WaveError::Unsupported:
    case plat::WaveError::Empty:
    case plat::WaveError::TooLarge: return "建立声音次缓冲区失败！";
    }
    return "";
}

} // namespace

bool checkWaveFile(const QString& path, QString& error)
{
    const QString real = ci::resolve(path);
    if (!fileExists(real)) {
        error = QStringLiteral("找不到声音文件：%1").arg(real);
        return false;
    }
    QFile f(real);
    if (f.size() > MaxWaveBytes) {
        error = QStringLiteral("声音文件过大（超过64MB）：%1").arg(real);
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("无法读取声音文件：%1（%2）").arg(real, f.errorString());
        return false;
    }
    const QByteArray d = f.readAll();
    const std::vector<uint8_t> bytes(d.begin(), d.end());
    plat::WaveData wave;
    std::string detail;
    const plat::WaveError e = plat::ParseWave(bytes, &wave, &detail);
    if (e == plat::WaveError::None)
        return true;
    error = QStringLiteral("游戏不能播放声音文件%1：%2（%3）")
                .arg(real, QString::fromUtf8(gameRefusal(e)), QString::fromStdString(detail));
    return false;
}

SoundPreview& soundPreview()
{
    static QtSoundPreview system;
    return replaced ? *replaced : system;
}

void setSoundPreview(SoundPreview* p)
{
    replaced = p;
}

void QtSoundPreview::play(const QString& path)
{
    if (QMediaDevices::audioOutputs().isEmpty()) {
        msgBox(QStringLiteral("没有可用的声音输出设备，无法播放“%1”。\n播放声音需要 PulseAudio 声音服务"
                              "（或 PipeWire 的 PulseAudio 服务）。")
                   .arg(path));
        return;
    }
    if (!effect_) {
        // Owned by the application, so it goes before the media back end does.
        effect_ = new QSoundEffect(QCoreApplication::instance());
        QPointer<QSoundEffect> e = effect_;
        QObject::connect(effect_, &QSoundEffect::statusChanged, effect_, [e] {
            if (e && e->status() == QSoundEffect::Error)
                msgBox(QStringLiteral("无法播放声音文件“%1”：文件无法解码，或者声音服务（PulseAudio）不可用。")
                           .arg(e->source().toLocalFile()));
        });
    }
    const QUrl url = QUrl::fromLocalFile(path);
    effect_->stop();
    if (effect_->source() != url)
        effect_->setSource(url);
    effect_->play();
}

} // namespace fr
