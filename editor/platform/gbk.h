#pragma once
// Code page 936 (GBK), the encoding of every text file the editor reads and
// writes. Text from files stays as GBK bytes inside the editor; it is decoded
// only to be shown, and typed text is encoded once, when it enters the data.
#include <QByteArray>
#include <QString>

namespace fr::gbk {

// An invalid or cut sequence becomes U+FFFD and decoding goes on.
QString decode(const QByteArray& bytes);

// Returns false (and leaves `out` empty) when a character has no GBK form.
bool encode(const QString& text, QByteArray& out);

// The first character of `text` that GBK cannot hold, or a null QChar.
QString firstUnencodable(const QString& text);

} // namespace fr::gbk
