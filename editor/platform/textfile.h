#pragma once
// Comma-separated fields as the editor's list files hold them (attribute
// lists, placement lists, the recent-map file).
//
// Reading: blanks before a field are skipped; a field that begins with '"'
// runs to the next '"' and the rest up to the next comma or line end is
// dropped; any other field runs to the next comma or line end (trailing
// blanks dropped). CR LF, LF and CR each end a line. Fields come back as raw
// bytes; decoding is the caller's business.
//
// Writing: strings in double quotes as they are, numbers plain, booleans as
// #TRUE#/#FALSE#, fields separated by commas, every line ended by CR LF.
#include <QByteArray>

namespace fr {

class FieldReader {
public:
    enum class End { Comma, LineEnd, EndOfData };
    struct Field {
        QByteArray text;
        bool quoted = false;
        // A quoted field with more than blanks between its closing quote
        // and its end, or with no closing quote: the value held a double
        // quote, and what was read of it is not what was written.
        bool damaged = false;
        End end = End::EndOfData;
    };

    explicit FieldReader(QByteArray data);

    // False when no data is left (reading past the end of the file).
    bool read(Field& f);
    // Skips blank lines (only blanks before a line end); true if data is left.
    bool skipBlankLines();
    bool atEnd() const { return pos_ >= data_.size(); }
    // 1-based line of the next unread byte.
    int line() const { return line_; }

private:
    bool atLineEnd(qsizetype i) const;
    void consumeLineEnd();

    QByteArray data_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

class FieldWriter {
public:
    void string(const QByteArray& s);
    void number(long long v);
    void boolean(bool b);
    void endLine();
    const QByteArray& bytes() const { return out_; }

private:
    void separate();
    QByteArray out_;
    bool lineStarted_ = false;
};

// True when the data holds LF line ends but no CR at all (as a Linux text
// editor may leave a file); such a file is read as if each LF were CR LF.
bool hasOnlyLfLineEnds(const QByteArray& data);

} // namespace fr
