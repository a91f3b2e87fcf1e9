#pragma once
// Number handling of the editor: 16-bit integers with round-half-to-even and
// an overflow error, locale-free text-to-number conversion, and sizes that
// keep the form they were given in (typed text or a number read from a file).
#include <QString>

#include <cstdint>
#include <stdexcept>

namespace fr {

// A data or conversion error inside an event handler. The error boundary
// (app.h, guarded) shows its text and the editor goes on.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const QString& text);
    QString text() const;
};

// Booleans as the editor's data holds them.
inline constexpr int16_t True = -1;
inline constexpr int16_t False = 0;
QString boolText(bool b); // "True" / "False"

// Rounds to the nearest integer, a half going to the even neighbour, and
// throws RuntimeError when the result does not fit 16 bits.
int16_t toInt16(double v);

// Reads a decimal number: blanks around it, an optional sign, digits with an
// optional fraction and exponent. No hexadecimal forms, no locale. Returns
// false for anything else, including an empty text and non-finite results.
bool parseNumber(QStringView text, double& out);
bool parseNumber(const QByteArray& text, double& out);
// As parseNumber, but throws RuntimeError ("类型不匹配") on failure.
double toNumber(const QString& text);

// A typed value as a 16-bit integer, the way the forms runtime converts a
// text box: a decimal number (blanks around it allowed) rounded to the
// nearest integer, a half going to the even neighbour, or "True"/"False" in
// any letter case (-1/0). False when the text is neither or the result does
// not fit 16 bits.
bool cint16(QStringView text, int16_t& out);

// A whole number within 16 bits, read as parseNumber reads it.
bool parseWholeInt16(const QByteArray& text, int16_t& out);

// A number as text: no leading blank, no trailing zeros ("20", "0.5", "-3").
QString numText(double v);

// A value that keeps the form it was given in: text as typed, or a number.
// Printing gives the text unchanged or the number in numText form; every
// comparison and calculation uses its numeric value. The default is empty,
// which counts as 0.
class NumOrText {
public:
    NumOrText() = default;
    static NumOrText fromNumber(double v);
    static NumOrText fromText(const QString& text);

    bool isEmpty() const { return isText_ && text_.isEmpty(); }
    bool isText() const { return isText_; }
    QString print() const;
    // Throws RuntimeError when typed text is not a number; empty gives 0.
    double number() const;

private:
    QString text_;
    double value_ = 0;
    bool isText_ = true;
};

} // namespace fr
