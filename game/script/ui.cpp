// The UI frame stack: frame files, loading and unloading frames.
#include "ui.h"

#include <utility>
#include <vector>

#include "core/alert.h"
#include "core/graph.h"
#include "core/sound.h"
#include "platform/gbk.h"
#include "platform/platform.h"

using plat::GBK;

namespace {

// Bounds on what one frame file may ask for. They lie far above any real
// frame and keep a damaged file from eating the memory.
constexpr size_t kMaxFramesPerFile = 64;
constexpr size_t kMaxElementsPerFrame = 4096;
constexpr int32_t kMaxElementSize = 4096;
constexpr int32_t kMaxFontHeight = 512;
constexpr size_t kMaxFieldLength = 999;
// The buttons' cells of one file together: 16 full screens of pixels.
constexpr int64_t kMaxCellPixels = int64_t{16} * 640 * 480;

// Reads a frame file record by record into fresh frames. Any field that
// can't be read ends the parse; the caller then discards everything made.
class FrameReader {
public:
    FrameReader(ui& owner, FILE* file) : u_(owner), f_(file) {}

    // Q: the text between the next two double quotes on one line.
    bool Quoted(std::string& out) { return Field('"', '"', out); }

    // F: a quoted flag, 1 only for "True".
    bool Flag(int32_t& out)
    {
        std::string t;
        if (!Quoted(t))
            return false;
        out = t == "True" ? 1 : 0;
        return true;
    }

    // N1 (after a quoted field) with begin mark ',', N0 without one. A
    // whole field that holds no number reads as 0 and marks the record bad
    // (BadValue); only a field that isn't whole fails.
    bool Number(bool afterQuoted, int32_t& out)
    {
        std::string t;
        if (!Field(afterQuoted ? ',' : '0', ',', t))
            return false;
        if (!numparse::ParseInt32(t, &out)) {
            out = 0;
            if (badValue_.empty())
                badValue_ = GBK("不是数字：“") + t + GBK("”");
        }
        return true;
    }

    // Why the record just read holds a value that is no number ("" if it
    // doesn't); asking starts the next record afresh.
    std::string TakeBadValue() { return std::exchange(badValue_, std::string()); }

    // The kind word of the next record, the first quoted word of a known
    // kind on the next line that holds one; false at the end of the file.
    // Blank lines and comment lines are passed over. A line that holds text
    // but no quoted word of a known kind (a misspelt kind, a kind in
    // typographic quotes, a quote left open, no quote at all) can't be
    // read: it is noted and passed over whole.
    bool Kind(std::string& out)
    {
        for (;;) {
            const long start = std::ftell(f_);
            std::string line;
            int c;
            while ((c = std::getc(f_)) != EOF && c != '\r')
                line += static_cast<char>(c);
            if (c == '\r')
                std::getc(f_);   // the byte after the CR (its LF), unseen
            else if (line.empty())
                return false;
            const size_t text = line.find_first_not_of(" \t\n");
            if (text == std::string::npos || line.compare(text, 2, "//") == 0)
                continue;
            // A word that is no kind is passed over, and the next quoted
            // word of the line is taken as the kind. A quote left open to
            // the line end (a stray one in a note, a kind opened with a
            // typographic quote and closed with a plain one) starts no
            // record: the line is one that can't be read.
            for (size_t open = line.find('"'); open != std::string::npos; open = line.find('"', open + 1)) {
                const size_t close = line.find('"', open + 1);
                if (close == std::string::npos)
                    break;
                std::string word = line.substr(open + 1, close - open - 1);
                u_.StripComment(word);
                u_.Trim(word);
                if (word == "frame" || word == "image" || word == "button" || word == "string" || word == "EOF") {
                    std::fseek(f_, start + static_cast<long>(close) + 1, SEEK_SET);
                    recordLine_ = LineAt(start);
                    out = word;
                    return true;
                }
                open = close;
            }
            Unread(start, line);
        }
    }

    void SkipLine() { u_.SkipLine(f_); }

    // A line that meant a record and could not be read: its number (from 1)
    // and its text as written.
    struct UnreadLine {
        int number;
        std::string text;
    };
    const std::vector<UnreadLine>& UnreadLines() const { return unread_; }
    int MoreUnreadLines() const { return moreUnread_; }

    // The line (from 1) of the last kind read.
    int RecordLine() const { return recordLine_; }
    // The line where reading stopped on a field that could not be read, or
    // on a failure given by Fail.
    int ErrorLine() const { return errorLine_; }
    const std::string& Error() const { return error_; }
    void Fail(const std::string& why)
    {
        error_ = why;
        errorLine_ = LineAt(std::ftell(f_));
    }

    // Lines reported one by one; any beyond are counted.
    static constexpr size_t kShownUnreadLines = 20;

private:
    void Unread(long start, const std::string& line)
    {
        if (unread_.size() >= kShownUnreadLines) {
            ++moreUnread_;
            return;
        }
        unread_.push_back(UnreadLine{LineAt(start), line.substr(0, kMaxFieldLength)});
    }

    // The number (from 1) of the line that holds the byte at pos. Lines are
    // counted once, up to the furthest place asked about; the reading
    // position is left as it was.
    int LineAt(long pos)
    {
        if (pos < countedTo_) {
            countedTo_ = 0;
            linesBefore_ = 0;
        }
        const long back = std::ftell(f_);
        std::fseek(f_, countedTo_, SEEK_SET);
        for (long i = countedTo_; i < pos; ++i)
            if (std::getc(f_) == '\r')
                ++linesBefore_;
        countedTo_ = pos;
        std::fseek(f_, back, SEEK_SET);
        return linesBefore_ + 1;
    }

    // The token reader of the game's files, which says whether the field
    // was whole: its begin mark found and its end mark before the line end.
    bool Field(char begin, char end, std::string& out)
    {
        out.clear();
        for (;;) {
            int c = std::getc(f_);
            if (c == '\r') {
                std::ungetc(c, f_);
                u_.SkipLine(f_);
                continue;
            }
            if (c == EOF)
                return Cut();
            if (c == ' ')
                continue;
            if (begin == '0') {
                std::ungetc(c, f_);
                break;
            }
            if (c == static_cast<unsigned char>(begin))
                break;
        }
        for (;;) {
            const int c = std::getc(f_);
            if (c == EOF)
                return Cut();
            if (c == '\r') {
                std::ungetc(c, f_);
                Fail(GBK("有一个字段到行尾仍未结束"));
                return false;
            }
            if (c == static_cast<unsigned char>(end))
                break;
            if (out.size() >= kMaxFieldLength) {
                Fail(GBK("有一个字段长于") + std::to_string(kMaxFieldLength) + GBK("个字符"));
                return false;
            }
            out += static_cast<char>(c);
        }
        u_.StripComment(out);
        u_.Trim(out);
        return true;
    }

    bool Cut()
    {
        Fail(GBK("文件在一个记录的中间结束"));
        return false;
    }

    ui& u_;
    FILE* f_;
    std::string error_;
    std::string badValue_;
    std::vector<UnreadLine> unread_;
    int moreUnread_ = 0;
    long countedTo_ = 0;
    int linesBefore_ = 0;
    int recordLine_ = 0;
    int errorLine_ = 0;
};

// The fields that picture and button records share, up to the actions.
bool ReadPictureRecord(FrameReader& r, UIBOX& box, std::string& picture)
{
    int32_t spare = 0;
    return r.Number(true, box.id) && r.Quoted(box.name) && r.Quoted(picture) && r.Number(true, spare) &&
           r.Number(false, box.layer) && r.Number(false, box.x) && r.Number(false, box.y) &&
           r.Number(false, box.width) && r.Number(false, box.height) && r.Number(false, box.hitDX) &&
           r.Number(false, box.hitDY) && r.Number(false, box.hitWidth) && r.Number(false, box.hitHeight) &&
           r.Flag(box.clickable) && r.Flag(box.visible) && r.Quoted(box.leftAction) &&
           r.Quoted(box.rightAction) && r.Quoted(box.hoverAction);
}

bool ReadStringRecord(FrameReader& r, UISTRINGBOX& box)
{
    int32_t colour = 0;
    const bool ok = r.Number(true, box.id) && r.Quoted(box.name) && r.Number(true, box.layer) &&
                    r.Number(false, box.x) && r.Number(false, box.y) && r.Number(false, box.width) &&
                    r.Number(false, box.height) && r.Number(false, box.hitDX) && r.Number(false, box.hitDY) &&
                    r.Number(false, box.hitWidth) && r.Number(false, box.hitHeight) && r.Flag(box.clickable) &&
                    r.Flag(box.visible) && r.Quoted(box.leftAction) && r.Quoted(box.rightAction) &&
                    r.Quoted(box.hoverAction) && r.Quoted(box.text) && r.Quoted(box.fontFace) &&
                    r.Number(true, box.fontHeight) && r.Number(false, colour) && r.Flag(box.bold) &&
                    r.Flag(box.italic);
    box.colour = static_cast<uint32_t>(colour);
    return ok;
}

void CopyBase(UIBOX& box)
{
    box.baseX = box.x;
    box.baseY = box.y;
    box.baseWidth = box.width;
    box.baseHeight = box.height;
}

std::string TooManyElements()
{
    return GBK("一个框架中同类的元素多于") + std::to_string(kMaxElementsPerFrame) + GBK("个");
}

bool SizeOk(const UIBOX& box) { return box.width >= 0 && box.height >= 0 && box.width <= kMaxElementSize && box.height <= kMaxElementSize; }

} // namespace

ui::~ui()
{
    Alert("~ui");
    UnloadAll();
}

void ui::ReleaseFrame(FRAMESTRUCT& frame)
{
    for (UIIMAGEBOX& img : frame.images)
        if (img.picture)
            g_Graph.ReleaseSurface(img.picture);
    frame.images.clear();
    for (UIBUTTONBOX& b : frame.buttons)
        for (plat::Surface*& s : b.states)
            if (s)
                g_Graph.ReleaseSurface(s);
    frame.buttons.clear();
    frame.strings.clear();
    for (auto& l : frame.layers)
        l.clear();
}

void ui::LoadFrame(const std::string& name)
{
    plat::P().Trace("ui load " + name);
    for (const FRAMESTRUCT& f : frames)
        if (f.name == name)
            return;
    const std::string path = "ui\\" + name + ".jui";
    if (RefuseOutsideName(path))
        return;
    if (!FileExists(path)) {
        Alert(GBK("UI文件打开失败！"));
        AlertStr(path);
        return;
    }
    frameFile = OpenDataFile(path, DataKind::Frame);
    if (!frameFile)
        return;   // refused or unreadable: already reported

    FrameReader r(*this, frameFile);
    std::vector<FRAMESTRUCT> loaded;
    bool ok = true;
    std::string kind;
    int64_t cellPixels = 0;
    // A bad element is left out and the rest of the frame loads; the first
    // one is reported, by its line, with the number left out.
    int skipped = 0;
    std::string firstSkip;
    auto skip = [&](const std::string& why) {
        if (skipped++ == 0)
            firstSkip = GBK("第") + std::to_string(r.RecordLine()) + GBK("行：") + why;
    };
    for (;;) {
        if (!r.Kind(kind)) {
            ok = r.Error().empty();   // the file's end stands for "EOF"
            break;
        }
        if (kind == "EOF")
            break;
        FRAMESTRUCT* current = loaded.empty() ? nullptr : &loaded.back();
        if (kind == "frame") {
            if (loaded.size() >= kMaxFramesPerFile) {
                r.Fail(GBK("框架多于") + std::to_string(kMaxFramesPerFile) + GBK("个"));
                ok = false;
                break;
            }
            FRAMESTRUCT frame;
            if (!r.Number(true, frame.id) || !r.Quoted(frame.name)) {
                ok = false;
                break;
            }
            if (std::string bad = r.TakeBadValue(); !bad.empty()) {
                r.Fail(bad);
                ok = false;
                break;
            }
            loaded.push_back(std::move(frame));
            r.SkipLine();
        } else if (kind == "image" || kind == "button") {
            UIBOX box;
            std::string picture;
            if (!ReadPictureRecord(r, box, picture)) {
                ok = false;
                break;
            }
            r.SkipLine();
            CopyBase(box);
            const std::string badValue = r.TakeBadValue();
            if (!badValue.empty()) {
                skip(badValue);
                continue;
            }
            if (!SizeOk(box)) {
                skip(GBK("元素的大小不在0到") + std::to_string(kMaxElementSize) + GBK("之间"));
                continue;
            }
            // An element before any frame or on a layer that doesn't exist
            // has no place to go and is left out.
            if (!current || box.layer < 0 || box.layer >= kUiLayers)
                continue;
            const bool isButton = kind == "button";
            const size_t count = isButton ? current->buttons.size() : current->images.size();
            if (count >= kMaxElementsPerFrame) {
                skip(TooManyElements());
                continue;
            }
            if (isButton) {
                const int64_t cells = int64_t{4} * box.width * box.height;
                if (cellPixels + cells > kMaxCellPixels) {
                    skip(GBK("按钮的图格需要多于") + std::to_string(kMaxCellPixels) + GBK("个像素"));
                    continue;
                }
                cellPixels += cells;
            }
            plat::Surface* pic = g_Graph.CreatePicture("Resource\\bmp\\" + picture + ".bmp");
            g_Graph.SetKeyColour(pic);
            current->layers[box.layer].push_back(
                LAYCHAINSTRUCT{kind, 0, static_cast<int32_t>(count)});
            if (isButton) {
                UIBUTTONBOX b;
                static_cast<UIBOX&>(b) = box;
                // The strip only serves for cutting the four cells.
                if (pic) {
                    for (int i = 0; i < 4; ++i) {
                        b.states[i] = g_Graph.CreatePlain(box.width, box.height);
                        g_Graph.SetKeyColour(b.states[i]);
                        g_Graph.Paint(b.states[i], pic,
                                      Rect{i * box.width, 0, (i + 1) * box.width, box.height}, 0, 0, 0, -1, 0);
                    }
                    g_Graph.ReleaseSurface(pic);
                }
                current->buttons.push_back(std::move(b));
            } else {
                UIIMAGEBOX img;
                static_cast<UIBOX&>(img) = box;
                img.picture = pic;
                current->images.push_back(std::move(img));
            }
        } else if (kind == "string") {
            UISTRINGBOX box;
            if (!ReadStringRecord(r, box)) {
                ok = false;
                break;
            }
            r.SkipLine();
            CopyBase(box);
            const std::string badValue = r.TakeBadValue();
            if (!badValue.empty()) {
                skip(badValue);
                continue;
            }
            // Text is drawn no taller than this; a height beyond it (or its
            // negation, which reads as the character height) is no height.
            if (box.fontHeight < -kMaxFontHeight || box.fontHeight > kMaxFontHeight) {
                skip(GBK("字体高度") + std::to_string(box.fontHeight) + GBK("不在-") + std::to_string(kMaxFontHeight) +
                     GBK("到") + std::to_string(kMaxFontHeight) + GBK("之间"));
                continue;
            }
            if (!current || box.layer < 0 || box.layer >= kUiLayers)
                continue;
            if (current->strings.size() >= kMaxElementsPerFrame) {
                skip(TooManyElements());
                continue;
            }
            current->layers[box.layer].push_back(
                LAYCHAINSTRUCT{"string", 0, static_cast<int32_t>(current->strings.size())});
            current->strings.push_back(std::move(box));
        }
    }
    std::fclose(frameFile);
    frameFile = nullptr;

    if (!ok) {
        for (FRAMESTRUCT& f : loaded)
            ReleaseFrame(f);
        Alert(GBK("UI文件有误，未能加载："));
        AlertStr(path + GBK("第") + std::to_string(r.ErrorLine()) + GBK("行：") + r.Error());
        return;
    }
    for (const FrameReader::UnreadLine& line : r.UnreadLines())
        Alert((GBK("UI文件中有一行不是能读的记录，已跳过：") + path + GBK("第") + std::to_string(line.number) +
               GBK("行：") + line.text)
                  .c_str());
    if (r.MoreUnreadLines() > 0)
        Alert((GBK("UI文件中还有") + std::to_string(r.MoreUnreadLines()) + GBK("行不是能读的记录，已跳过：") + path)
                  .c_str());
    if (skipped > 0)
        Alert((GBK("UI文件中有误的元素已跳过：") + path + firstSkip +
               (skipped > 1 ? GBK("；共跳过") + std::to_string(skipped) + GBK("个元素") : std::string()))
                  .c_str());
    for (FRAMESTRUCT& f : loaded) {
        f.pressesAtOpen = g_Control.pressCount;
        frames.push_back(std::move(f));
    }
    g_Sound.PlayWave("openmenu");
}

void ui::UnloadFrameAt(uint32_t index)
{
    if (index >= frames.size())
        return;
    clickedElement = nullptr;
    ReleaseFrame(frames[index]);
    frames.erase(frames.begin() + index);
    g_Sound.PlayWave("closemenu");
}

void ui::UnloadFrame(const std::string& name)
{
    for (size_t i = 0; i < frames.size(); ++i)
        if (frames[i].name == name) {
            UnloadFrameAt(static_cast<uint32_t>(i));
            return;
        }
}

void ui::UnloadAll()
{
    clickedElement = nullptr;
    for (FRAMESTRUCT& f : frames)
        ReleaseFrame(f);
    frames.clear();
}
