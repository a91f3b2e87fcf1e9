#include "sound.h"

#include "dialogs.h"
#include "paths.h"

#include <QCoreApplication>
#include <QFile>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace fr {

namespace {

uint32_t le32(const char* p)
{
    const auto* u = reinterpret_cast<const uchar*>(p);
    return uint32_t(u[0]) | uint32_t(u[1]) << 8 | uint32_t(u[2]) << 16 | uint32_t(u[3]) << 24;
}

uint16_t le16(const char* p)
{
    const auto* u = reinterpret_cast<const uchar*>(p);
    return uint16_t(u[0] | u[1] << 8);
}

constexpr qint64 MaxWaveBytes = 64ll << 20;

SoundPreview* replaced = nullptr;

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
    if (d.size() < 12 || !d.startsWith("RIFF") || d.mid(8, 4) != "WAVE") {
        error = QStringLiteral("不是WAVE声音文件：%1").arg(real);
        return false;
    }
    bool pcm = false;
    bool fmt = false;
    qsizetype at = 12;
    while (at + 8 <= d.size()) {
        const QByteArray id = d.mid(at, 4);
        const qint64 size = le32(d.constData() + at + 4);
        const qint64 body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > d.size())
                break;
            fmt = true;
            const uint16_t format = le16(d.constData() + body);
            const uint16_t channels = le16(d.constData() + body + 2);
            const uint16_t bits = le16(d.constData() + body + 14);
            // PCM, or the extensible form that carries PCM.
            pcm = (format == 1 || format == 0xFFFE) && channels >= 1 && (bits == 8 || bits == 16 || bits == 24 ||
                                                                          bits == 32);
        } else if (id == "data") {
            if (!fmt)
                break;
            if (!pcm) {
                error = QStringLiteral("声音文件不是PCM格式，无法播放：%1").arg(real);
                return false;
            }
            if (size == 0 || body + size > d.size()) {
                error = QStringLiteral("声音文件不完整：%1").arg(real);
                return false;
            }
            return true;
        }
        at = body + size + (size & 1);
    }
    error = QStringLiteral("声音文件不完整或已损坏：%1").arg(real);
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
