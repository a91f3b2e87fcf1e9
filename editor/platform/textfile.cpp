#include "textfile.h"

namespace fr {

FieldReader::FieldReader(QByteArray data) : data_(std::move(data)) {}

bool FieldReader::atLineEnd(qsizetype i) const
{
    return i < data_.size() && (data_[i] == '\r' || data_[i] == '\n');
}

void FieldReader::consumeLineEnd()
{
    if (pos_ < data_.size() && data_[pos_] == '\r') {
        ++pos_;
        if (pos_ < data_.size() && data_[pos_] == '\n')
            ++pos_;
    } else if (pos_ < data_.size() && data_[pos_] == '\n') {
        ++pos_;
    }
    ++line_;
}

bool FieldReader::skipBlankLines()
{
    for (;;) {
        qsizetype i = pos_;
        while (i < data_.size() && (data_[i] == ' ' || data_[i] == '\t'))
            ++i;
        if (i >= data_.size()) {
            pos_ = i;
            return false;
        }
        if (!atLineEnd(i))
            return true;
        pos_ = i;
        consumeLineEnd();
    }
}

bool FieldReader::read(Field& f)
{
    f = Field{};
    while (pos_ < data_.size() && (data_[pos_] == ' ' || data_[pos_] == '\t'))
        ++pos_;
    if (pos_ >= data_.size())
        return false;
    const qsizetype n = data_.size();
    if (data_[pos_] == '"') {
        f.quoted = true;
        const qsizetype start = pos_ + 1;
        qsizetype q = start;
        while (q < n && data_[q] != '"')
            ++q;
        f.text = data_.mid(start, q - start);
        for (qsizetype k = start; k < q; ++k)
            if (data_[k] == '\n')
                ++line_;
        f.damaged = q >= n;
        pos_ = q < n ? q + 1 : n;
        for (; pos_ < n && data_[pos_] != ',' && !atLineEnd(pos_); ++pos_)
            if (data_[pos_] != ' ' && data_[pos_] != '\t')
                f.damaged = true;
    } else {
        const qsizetype start = pos_;
        while (pos_ < n && data_[pos_] != ',' && !atLineEnd(pos_))
            ++pos_;
        qsizetype e = pos_;
        while (e > start && (data_[e - 1] == ' ' || data_[e - 1] == '\t'))
            --e;
        f.text = data_.mid(start, e - start);
    }
    if (pos_ >= n) {
        f.end = End::EndOfData;
    } else if (data_[pos_] == ',') {
        f.end = End::Comma;
        ++pos_;
    } else {
        f.end = End::LineEnd;
        consumeLineEnd();
    }
    return true;
}

void FieldWriter::separate()
{
    if (lineStarted_)
        out_.append(',');
    lineStarted_ = true;
}

void FieldWriter::string(const QByteArray& s)
{
    separate();
    out_.append('"');
    out_.append(s);
    out_.append('"');
}

void FieldWriter::number(long long v)
{
    separate();
    out_.append(QByteArray::number(v));
}

void FieldWriter::boolean(bool b)
{
    separate();
    out_.append(b ? "#TRUE#" : "#FALSE#");
}

void FieldWriter::endLine()
{
    out_.append("\r\n");
    lineStarted_ = false;
}

bool hasOnlyLfLineEnds(const QByteArray& data)
{
    return !data.contains('\r') && data.contains('\n');
}

} // namespace fr
