#include "RtfReader.h"

#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>
#include <vector>

#include "QtTextMeasurer.h"

namespace fc {

bool LooksLikeRtf(const QString& text)
{
    int i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return text.mid(i, 5) == QLatin1String("{\\rtf");
}

namespace {
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QChar fromCp1252(int c)
{
    return (c >= 0x80 && c < 0xA0) ? QChar(kCp1252High[c - 0x80]) : QChar(char16_t(c));
}

enum class Dest { Text, FontTable, ColorTable, Skip };

struct State {
    bool bold = false, italic = false, underline = false, strike = false;
    int font = -1;    // index into the font table, -1: default
    int halfPoints = 0; // 0: default size
    int color = 0;    // 0: automatic
    int uc = 1;       // characters to skip after \u
    Qt::Alignment align = Qt::AlignLeft;
    Dest dest = Dest::Text;
};

// Groups nested deeper than this are read as flat text (hostile input).
constexpr int kMaxDepth = 256;

class Reader {
public:
    Reader(const QString& text, QTextDocument& doc, const QFont& font, const QColor& color)
        : s_(text), doc_(doc), cursor_(&doc), defFont_(font), defColor_(color)
    {
    }

    void run()
    {
        doc_.clear();
        cursor_ = QTextCursor(&doc_);
        QTextBlockFormat bf;
        bf.setAlignment(Qt::AlignLeft);
        cursor_.setBlockFormat(bf);
        stack_.push_back(State{});
        const int n = int(s_.size());
        while (p_ < n) {
            const QChar c = s_[p_];
            if (c == u'{') {
                ++p_;
                flush();
                if (int(stack_.size()) < kMaxDepth)
                    stack_.push_back(stack_.back());
                else
                    ++overflow_;
            } else if (c == u'}') {
                ++p_;
                flush();
                if (overflow_ > 0)
                    --overflow_;
                else if (stack_.size() > 1) {
                    const Dest ended = stack_.back().dest;
                    if (ended == Dest::FontTable)
                        endFontEntry();
                    stack_.pop_back();
                }
            } else if (c == u'\\') {
                ++p_;
                control();
            } else if (c == u'\r' || c == u'\n') {
                ++p_;
            } else {
                ++p_;
                addChar(c);
            }
        }
        flush();
    }

private:
    State& st() { return stack_.back(); }

    void addChar(QChar c)
    {
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        switch (st().dest) {
        case Dest::Text:
            pending_ += c;
            break;
        case Dest::FontTable:
            if (c == u';')
                endFontEntry();
            else
                fontName_ += c;
            break;
        case Dest::ColorTable:
            if (c == u';') {
                colors_.push_back(haveColor_ ? QColor(r_, g_, b_) : QColor());
                r_ = g_ = b_ = 0;
                haveColor_ = false;
            }
            break;
        case Dest::Skip:
            break;
        }
    }

    void endFontEntry()
    {
        if (fontIndex_ >= 0) {
            QString name = fontName_.trimmed();
            if (fontIndex_ >= int(fonts_.size()))
                fonts_.resize(size_t(qMin(fontIndex_, 4095)) + 1);
            if (fontIndex_ < int(fonts_.size()))
                fonts_[size_t(fontIndex_)] = name;
        }
        fontName_.clear();
        fontIndex_ = -1;
    }

    QTextCharFormat format()
    {
        QFont f = defFont_;
        const State& s = st();
        if (s.font >= 0 && s.font < int(fonts_.size()) && !fonts_[size_t(s.font)].isEmpty())
            f.setFamily(ResolveFontFamily(fonts_[size_t(s.font)]));
        if (s.halfPoints > 0)
            f.setPixelSize(qMax(1, (s.halfPoints * 96 + 72) / 144)); // half-points at 96 dpi
        f.setBold(s.bold);
        f.setItalic(s.italic);
        f.setUnderline(s.underline);
        f.setStrikeOut(s.strike);
        QTextCharFormat cf;
        cf.setFont(f, QTextCharFormat::FontPropertiesAll);
        QColor color = defColor_;
        if (s.color > 0 && s.color < int(colors_.size()) && colors_[size_t(s.color)].isValid())
            color = colors_[size_t(s.color)];
        cf.setForeground(color);
        return cf;
    }

    void flush()
    {
        if (pending_.isEmpty())
            return;
        cursor_.insertText(pending_, format());
        pending_.clear();
    }

    void paragraph()
    {
        flush();
        QTextBlockFormat bf;
        bf.setAlignment(st().align);
        cursor_.setBlockFormat(bf);
        cursor_.insertBlock(bf, format());
        alignPending_ = false;
    }

    void setAlign(Qt::Alignment a)
    {
        st().align = a;
        QTextBlockFormat bf = cursor_.blockFormat();
        bf.setAlignment(a);
        cursor_.setBlockFormat(bf);
    }

    void control()
    {
        const int n = int(s_.size());
        if (p_ >= n)
            return;
        const QChar c = s_[p_];
        if (!c.isLetter() || c.unicode() > 127) {
            ++p_;
            if (c == u'\'') {
                int v = 0, digits = 0;
                while (digits < 2 && p_ < n) {
                    const int d = hexDigit(s_[p_]);
                    if (d < 0)
                        break;
                    v = v * 16 + d;
                    ++p_;
                    ++digits;
                }
                if (digits > 0)
                    addChar(decodeByte(v));
            } else if (c == u'*') {
                st().dest = Dest::Skip;
            } else if (c == u'~') {
                addChar(QChar(0xA0));
            } else if (c == u'_') {
                addChar(QChar(0x2011));
            } else if (c == u'-') {
                // optional hyphen: nothing to show
            } else if (c == u'\r' || c == u'\n') {
                if (st().dest == Dest::Text)
                    paragraph();
            } else {
                addChar(c); // \\ \{ \} and other escaped symbols
            }
            return;
        }
        const int start = p_;
        while (p_ < n && p_ - start < 32 && s_[p_].unicode() < 128 && s_[p_].isLetter())
            ++p_;
        const QString word = s_.mid(start, p_ - start);
        bool hasParam = false;
        bool neg = false;
        qint64 param = 0;
        if (p_ < n && s_[p_] == u'-') {
            neg = true;
            ++p_;
        }
        while (p_ < n && s_[p_] >= u'0' && s_[p_] <= u'9') {
            hasParam = true;
            if (param < 100000000)
                param = param * 10 + (s_[p_].unicode() - '0');
            ++p_;
        }
        if (neg)
            param = -param;
        if (p_ < n && s_[p_] == u' ')
            ++p_; // the delimiter blank belongs to the control word
        apply(word, hasParam, int(param));
    }

    static int hexDigit(QChar c)
    {
        if (c >= u'0' && c <= u'9')
            return c.unicode() - '0';
        if (c >= u'a' && c <= u'f')
            return c.unicode() - 'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c.unicode() - 'A' + 10;
        return -1;
    }

    void apply(const QString& w, bool hasParam, int param)
    {
        State& s = st();
        const bool on = !hasParam || param != 0;
        if (w == QLatin1String("u")) {
            int code = param < 0 ? param + 65536 : param;
            if (code >= 0 && code <= 0xFFFF)
                addCharUnskipped(QChar(char16_t(code)));
            skipChars_ = s.uc;
            return;
        }
        if (s.dest == Dest::Skip)
            return;
        if (s.dest == Dest::ColorTable) {
            if (w == QLatin1String("red"))
                r_ = qBound(0, param, 255), haveColor_ = true;
            else if (w == QLatin1String("green"))
                g_ = qBound(0, param, 255), haveColor_ = true;
            else if (w == QLatin1String("blue"))
                b_ = qBound(0, param, 255), haveColor_ = true;
            return;
        }
        if (s.dest == Dest::FontTable) {
            if (w == QLatin1String("f"))
                fontIndex_ = param;
            else if (!isFontTableWord(w))
                s.dest = Dest::Skip; // e.g. {\*\panose ...} or {\falt ...}
            return;
        }
        if (w == QLatin1String("ansicpg")) {
            setCodePage(param);
        } else if (w == QLatin1String("fonttbl")) {
            s.dest = Dest::FontTable;
        } else if (w == QLatin1String("colortbl")) {
            s.dest = Dest::ColorTable;
        } else if (isSkippedDestination(w)) {
            s.dest = Dest::Skip;
        } else if (w == QLatin1String("b")) {
            flush();
            s.bold = on;
        } else if (w == QLatin1String("i")) {
            flush();
            s.italic = on;
        } else if (w == QLatin1String("ul")) {
            flush();
            s.underline = on;
        } else if (w == QLatin1String("ulnone")) {
            flush();
            s.underline = false;
        } else if (w == QLatin1String("strike")) {
            flush();
            s.strike = on;
        } else if (w == QLatin1String("fs")) {
            flush();
            s.halfPoints = hasParam && param > 0 ? qMin(param, 3276) : 0;
        } else if (w == QLatin1String("f")) {
            flush();
            s.font = param;
        } else if (w == QLatin1String("cf")) {
            flush();
            s.color = param;
        } else if (w == QLatin1String("uc")) {
            s.uc = qBound(0, param, 10);
        } else if (w == QLatin1String("plain")) {
            flush();
            s.bold = s.italic = s.underline = s.strike = false;
            s.font = -1;
            s.halfPoints = 0;
            s.color = 0;
        } else if (w == QLatin1String("par")) {
            paragraph();
        } else if (w == QLatin1String("line")) {
            addChar(QChar(QChar::LineSeparator));
        } else if (w == QLatin1String("tab")) {
            addChar(u'\t');
        } else if (w == QLatin1String("pard")) {
            flush();
            setAlign(Qt::AlignLeft);
        } else if (w == QLatin1String("ql")) {
            flush();
            setAlign(Qt::AlignLeft);
        } else if (w == QLatin1String("qr")) {
            flush();
            setAlign(Qt::AlignRight);
        } else if (w == QLatin1String("qc")) {
            flush();
            setAlign(Qt::AlignHCenter);
        } else if (w == QLatin1String("qj")) {
            flush();
            setAlign(Qt::AlignJustify);
        } else if (w == QLatin1String("emdash")) {
            addChar(QChar(0x2014));
        } else if (w == QLatin1String("endash")) {
            addChar(QChar(0x2013));
        } else if (w == QLatin1String("bullet")) {
            addChar(QChar(0x2022));
        } else if (w == QLatin1String("lquote")) {
            addChar(QChar(0x2018));
        } else if (w == QLatin1String("rquote")) {
            addChar(QChar(0x2019));
        } else if (w == QLatin1String("ldblquote")) {
            addChar(QChar(0x201C));
        } else if (w == QLatin1String("rdblquote")) {
            addChar(QChar(0x201D));
        }
        // other control words change nothing we show
    }

    // \'hh bytes are in the document's code page: 1252 unless \ansicpg names
    // another single-byte page that the converter knows.
    void setCodePage(int cp)
    {
        codePage_.clear();
        if (cp == 1252 || cp <= 0)
            return;
        QStringDecoder d(QStringLiteral("windows-%1").arg(cp).toLatin1().constData());
        if (!d.isValid())
            return;
        codePage_.resize(256);
        for (int b = 0; b < 256; ++b) {
            const char ch = char(b);
            QStringDecoder one(QStringLiteral("windows-%1").arg(cp).toLatin1().constData());
            const QString u = one.decode(QByteArrayView(&ch, 1));
            codePage_[b] = u.size() == 1 ? u[0] : QChar(0xFFFD);
        }
    }

    QChar decodeByte(int b) const { return codePage_.isEmpty() ? fromCp1252(b) : codePage_[b & 0xFF]; }

    void addCharUnskipped(QChar c)
    {
        const int saved = skipChars_;
        skipChars_ = 0;
        addChar(c);
        skipChars_ = saved;
    }

    static bool isFontTableWord(const QString& w)
    {
        static const char* const words[] = {"fnil", "froman", "fswiss", "fmodern", "fscript", "fdecor", "ftech",
                                            "fbidi", "fcharset", "fprq", "cpg", "ftnil", "fttruetype"};
        for (const char* x : words)
            if (w == QLatin1String(x))
                return true;
        return false;
    }

    static bool isSkippedDestination(const QString& w)
    {
        static const char* const words[] = {
            "stylesheet", "info", "pict", "header", "footer", "headerl", "headerr", "headerf", "footerl",
            "footerr", "footerf", "footnote", "object", "listtable", "listoverridetable", "rsidtbl",
            "generator", "themedata", "colorschememapping", "latentstyles", "datastore", "xmlnstbl",
            "filetbl", "revtbl", "pgdsctbl", "fldinst", "author", "operator", "title", "subject",
            "keywords", "comment", "doccomm", "bkmkstart", "bkmkend", "nonshppict", "shp"};
        for (const char* x : words)
            if (w == QLatin1String(x))
                return true;
        return false;
    }

    const QString& s_;
    QTextDocument& doc_;
    QTextCursor cursor_;
    QFont defFont_;
    QColor defColor_;
    std::vector<State> stack_;
    int overflow_ = 0;
    int p_ = 0;
    int skipChars_ = 0;
    bool alignPending_ = false;
    QString pending_;
    std::vector<QString> fonts_;
    QString fontName_;
    int fontIndex_ = -1;
    std::vector<QColor> colors_;
    QString codePage_; // 256 characters, empty for code page 1252
    int r_ = 0, g_ = 0, b_ = 0;
    bool haveColor_ = false;
};
} // namespace

void ReadRtf(const QString& text, QTextDocument& doc, const QFont& defaultFont, const QColor& defaultColor)
{
    doc.setDefaultFont(defaultFont);
    doc.setDocumentMargin(0);
    if (!LooksLikeRtf(text)) {
        doc.clear();
        QTextCursor c(&doc);
        QTextCharFormat cf;
        cf.setFont(defaultFont, QTextCharFormat::FontPropertiesAll);
        cf.setForeground(defaultColor);
        QString t = text;
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(u'\r', u'\n');
        const QStringList paras = t.split(u'\n');
        for (int i = 0; i < paras.size(); ++i) {
            if (i > 0)
                c.insertBlock();
            c.insertText(paras[i], cf);
        }
        return;
    }
    Reader(text, doc, defaultFont, defaultColor).run();
}

} // namespace fc
