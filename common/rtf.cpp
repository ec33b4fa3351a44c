#include "rtf.h"

#include "common/cp1252.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMap>
#include <QPixmap>
#include <QSet>
#include <QStringConverter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <array>
#include <climits>

namespace rtf
{
namespace
{

// A font name as the font table can hold it: the table ends a name at ";"
// and has no tabs, line breaks or other controls (the writer would spell them
// as control words that the table then ignores), so a name is kept without
// them and reads back as written.
QString fontTableName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == ';' || u == 0x2028 || u == 0x2029 || u == 0xFFFC)
            continue;
        out.append(c);
    }
    return out.trimmed();
}

// Word processors convert at 1440 twips per inch and 96 pixels per inch.
constexpr double kTwipsPerPixel = 15.0;
// Deeper groups are skipped whole; real documents stay far below this.
constexpr int kMaxDepth = 1000;
// Bounds that keep absurd parameters from reaching the layout.
constexpr int kMaxTwips = 31680; // 22 inches
constexpr double kMaxPoints = 1638.0;
constexpr int kMaxUnicodeSkip = 16;

// ---------------------------------------------------------------- reading

struct Token {
    enum Type { End, Open, Close, Word, Symbol, Hex, Text, Binary };
    Type type = End;
    QByteArray word; // Word: the control word without its backslash
    bool hasParam = false;
    int param = 0;      // Word: the parameter, saturated to the int range
    unsigned char ch{}; // Symbol, Hex, Text
    QByteArray binary;  // Binary: the data of \binN
};

class Tokenizer
{
public:
    explicit Tokenizer(const QByteArray &data) : d(data) {}

    Token next()
    {
        Token t;
        while (pos < d.size() && (d[pos] == '\r' || d[pos] == '\n'))
            ++pos;
        if (pos >= d.size())
            return t;
        const char c = d[pos++];
        if (c == '{') {
            t.type = Token::Open;
        } else if (c == '}') {
            t.type = Token::Close;
        } else if (c == '\\') {
            readControl(t);
        } else {
            t.type = Token::Text;
            t.ch = static_cast<unsigned char>(c);
        }
        return t;
    }

private:
    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static int hexValue(char c)
    {
        if (isDigit(c))
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    void readControl(Token &t)
    {
        if (pos >= d.size()) {
            t.type = Token::End;
            return;
        }
        const char c = d[pos];
        if (!isLetter(c)) {
            ++pos;
            if (c == '\'') {
                // \'hh: two hex digits; anything else is dropped.
                t.type = Token::Hex;
                int value = 0;
                int digits = 0;
                while (digits < 2 && pos < d.size() && hexValue(d[pos]) >= 0)
                    value = value * 16 + hexValue(d[pos++]), ++digits;
                if (digits == 0) {
                    t.type = Token::Symbol;
                    t.ch = 0;
                } else {
                    t.ch = static_cast<unsigned char>(value);
                }
                return;
            }
            if (c == '\r' || c == '\n') {
                // A backslash before a line end stands for \par.
                t.type = Token::Word;
                t.word = "par";
                return;
            }
            t.type = Token::Symbol;
            t.ch = static_cast<unsigned char>(c);
            return;
        }
        t.type = Token::Word;
        const int start = pos;
        while (pos < d.size() && isLetter(d[pos]))
            ++pos;
        t.word = d.mid(start, qMin(pos - start, 32));
        bool negative = false;
        if (pos + 1 < d.size() && d[pos] == '-' && isDigit(d[pos + 1])) {
            negative = true;
            ++pos;
        }
        if (pos < d.size() && isDigit(d[pos])) {
            t.hasParam = true;
            qint64 value = 0;
            while (pos < d.size() && isDigit(d[pos])) {
                if (value <= INT_MAX)
                    value = value * 10 + (d[pos] - '0');
                ++pos;
            }
            value = qMin<qint64>(value, INT_MAX);
            t.param = int(negative ? -value : value);
        }
        if (pos < d.size() && d[pos] == ' ')
            ++pos;
        if (t.word == "bin" && t.hasParam) {
            // Raw bytes follow; they may hold braces and backslashes.
            const qsizetype len = qBound(qsizetype(0), qsizetype(t.param), d.size() - pos);
            t.type = Token::Binary;
            t.binary = d.mid(pos, len);
            pos += len;
        }
    }

    const QByteArray &d;
    qsizetype pos = 0;
};

enum class Dest { Text, Skip, FontTable, ColorTable, Picture };

struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int font = -1;
    int halfPoints = 24;
    int foreground = 0;
    int background = 0;
    QTextCharFormat::VerticalAlignment valign = QTextCharFormat::AlignNormal;
};

struct ParaProps {
    Qt::Alignment align = Qt::AlignLeft;
    int left = 0;
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    bool pageBefore = false;
};

struct State {
    Dest dest = Dest::Text;
    CharProps chr;
    ParaProps par;
    int uc = 1;
    bool ownsPicture = false;
};

// Control words that open a group whose content is not document text.
const QSet<QByteArray> &skippedDestinations()
{
    static const QSet<QByteArray> words = {"aftncn",
                                           "aftnsep",
                                           "aftnsepc",
                                           "annotation",
                                           "atnauthor",
                                           "atnid",
                                           "author",
                                           "bkmkend",
                                           "bkmkstart",
                                           "blipuid",
                                           "colorschememapping",
                                           "comment",
                                           "company",
                                           "datastore",
                                           "docvar",
                                           "doccomm",
                                           "fchars",
                                           "filetbl",
                                           "fldinst",
                                           "footer",
                                           "footerf",
                                           "footerl",
                                           "footerr",
                                           "footnote",
                                           "ftncn",
                                           "ftnsep",
                                           "ftnsepc",
                                           "generator",
                                           "header",
                                           "headerf",
                                           "headerl",
                                           "headerr",
                                           "info",
                                           "keywords",
                                           "latentstyles",
                                           "lchars",
                                           "listoverridetable",
                                           "listtable",
                                           "mmathPr",
                                           "nonshppict",
                                           "objdata",
                                           "operator",
                                           "passwordhash",
                                           "pgdsctbl",
                                           "pgptbl",
                                           "picprop",
                                           "pn",
                                           "pnseclvl",
                                           "private",
                                           "protusertbl",
                                           "revtbl",
                                           "rsidtbl",
                                           "shpinst",
                                           "stylesheet",
                                           "subject",
                                           "tc",
                                           "template",
                                           "themedata",
                                           "title",
                                           "txe",
                                           "upr",
                                           "userprops",
                                           "wgrffmtfilter",
                                           "xe",
                                           "xmlnstbl"};
    return words;
}

// Every underline style reads as a plain underline.
const QSet<QByteArray> &underlineWords()
{
    static const QSet<QByteArray> words = {
        "ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
        "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
        "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave"};
    return words;
}

constexpr auto kBaseline = QTextCharFormat::AlignNormal;

class Reader
{
public:
    Reader(const QByteArray &data, QTextDocument *doc) : tok(data), doc(doc), cursor(doc)
    {
        for (int b = 0; b < 256; ++b)
            codepage[b] = cp1252::toUnicode(static_cast<unsigned char>(b));
    }

    void run()
    {
        stack.append(State()); // outside the document group
        while (!done) {
            Token t = tok.next();
            if (t.type == Token::End)
                break;
            if (overflow > 0) {
                if (t.type == Token::Open)
                    ++overflow;
                else if (t.type == Token::Close)
                    --overflow;
                continue;
            }
            if (unicodeSkip > 0) {
                if (t.type == Token::Open || t.type == Token::Close) {
                    unicodeSkip = 0;
                } else {
                    --unicodeSkip;
                    continue;
                }
            }
            const bool star = starPending;
            starPending = false;
            switch (t.type) {
            case Token::Open:
                openGroup();
                break;
            case Token::Close:
                closeGroup();
                break;
            case Token::Word:
                word(t, star);
                break;
            case Token::Symbol:
                symbol(t.ch);
                break;
            case Token::Hex:
                hex(t.ch);
                break;
            case Token::Text:
                text(t.ch);
                break;
            case Token::Binary:
                if (top().dest == Dest::Picture)
                    picture.data += t.binary;
                break;
            case Token::End:
                break;
            }
        }
        if (!done)
            finish();
    }

private:
    State &top() { return stack.last(); }

    // ---- groups

    void openGroup()
    {
        flushText();
        if (stack.size() > kMaxDepth) {
            overflow = 1;
            return;
        }
        State s = top();
        s.ownsPicture = false;
        stack.append(s);
    }

    void closeGroup()
    {
        flushText();
        if (stack.size() <= 2) {
            // End of the document group: anything after it is ignored.
            finish();
            return;
        }
        const State closed = stack.takeLast();
        if (closed.dest == Dest::FontTable && !fontName.isEmpty())
            commitFont();
        if (closed.ownsPicture)
            insertPicture();
    }

    // ---- text

    void appendChar(QChar c)
    {
        switch (top().dest) {
        case Dest::Text:
            if (top().chr.hidden)
                return;
            // Characters that Qt reserves for its own document structure.
            if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0xFFFC ||
                c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1 || c.unicode() == 0x2029)
                return;
            pending.append(c);
            break;
        case Dest::FontTable:
            if (c == QLatin1Char(';'))
                commitFont();
            else
                fontName.append(c);
            break;
        case Dest::ColorTable:
            if (c == QLatin1Char(';'))
                commitColor();
            break;
        case Dest::Picture:
        case Dest::Skip:
            break;
        }
    }

    void text(unsigned char b)
    {
        if (top().dest == Dest::Picture) {
            int v = -1;
            if (b >= '0' && b <= '9')
                v = b - '0';
            else if (b >= 'a' && b <= 'f')
                v = b - 'a' + 10;
            else if (b >= 'A' && b <= 'F')
                v = b - 'A' + 10;
            if (v < 0)
                return;
            if (picture.highNibble < 0) {
                picture.highNibble = v;
            } else {
                picture.data.append(char(picture.highNibble * 16 + v));
                picture.highNibble = -1;
            }
            return;
        }
        if (b == '\t') {
            appendChar(QLatin1Char('\t'));
            return;
        }
        if (b < 0x20)
            return;
        appendChar(codepage[b]);
    }

    void hex(unsigned char b)
    {
        if (top().dest == Dest::Text || top().dest == Dest::FontTable)
            appendChar(codepage[b]);
    }

    void symbol(unsigned char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            appendChar(QLatin1Char(char(c)));
            break;
        case '~':
            appendChar(QChar(0x00A0));
            break;
        case '-':
            appendChar(QChar(0x00AD));
            break;
        case '_':
            appendChar(QChar(0x2011));
            break;
        case '*':
            starPending = true;
            break;
        default:
            break;
        }
    }

    void flushText()
    {
        if (pending.isEmpty())
            return;
        ensureBlock();
        const QTextCharFormat fmt = charFormat(top().chr);
        if (pendingCells > 0) {
            cursor.insertText(QString(pendingCells, QLatin1Char('\t')), fmt);
            pendingCells = 0;
        }
        cursor.insertText(pending, fmt);
        pending.clear();
    }

    // A paragraph mark only opens the next block once something follows it,
    // so that the customary final \par adds no empty paragraph.
    void ensureBlock()
    {
        if (!pendingParagraph)
            return;
        QTextBlockFormat bf = blockFormat(top().par);
        if (pageBreakNext)
            bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        pageBreakNext = false;
        cursor.insertBlock(bf, charFormat(top().chr));
        pendingParagraph = false;
    }

    void endParagraph()
    {
        flushText();
        ensureBlock();
        QTextBlockFormat bf = blockFormat(top().par);
        if (cursor.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.setBlockFormat(bf);
        if (cursor.block().length() <= 1)
            cursor.setBlockCharFormat(charFormat(top().chr));
        pendingParagraph = true;
        pendingCells = 0;
    }

    void finish()
    {
        done = true;
        flushText();
        if (!pendingParagraph) {
            QTextBlockFormat bf = blockFormat(top().par);
            if (cursor.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.setBlockFormat(bf);
        }
    }

    // ---- formats

    QTextCharFormat charFormat(const CharProps &p) const
    {
        QTextCharFormat f;
        f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(p.italic);
        f.setFontUnderline(p.underline);
        f.setFontStrikeOut(p.strike);
        f.setFontPointSize(qBound(1.0, p.halfPoints / 2.0, kMaxPoints));
        const auto font = fonts.constFind(p.font);
        if (font != fonts.constEnd() && !font->isEmpty())
            f.setFontFamilies(QStringList{*font});
        if (p.foreground > 0 && p.foreground < colors.size() && colors[p.foreground].isValid())
            f.setForeground(colors[p.foreground]);
        if (p.background > 0 && p.background < colors.size() && colors[p.background].isValid())
            f.setBackground(colors[p.background]);
        f.setVerticalAlignment(p.valign);
        return f;
    }

    static QTextBlockFormat blockFormat(const ParaProps &p)
    {
        QTextBlockFormat f;
        f.setAlignment(p.align);
        f.setLeftMargin(p.left / kTwipsPerPixel);
        f.setRightMargin(p.right / kTwipsPerPixel);
        f.setTextIndent(p.first / kTwipsPerPixel);
        f.setTopMargin(p.before / kTwipsPerPixel);
        f.setBottomMargin(p.after / kTwipsPerPixel);
        if (p.pageBefore)
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        return f;
    }

    static int twips(const Token &t) { return qBound(-kMaxTwips, t.param, kMaxTwips); }

    // ---- tables

    void commitFont()
    {
        const QString name = fontTableName(fontName);
        if (currentFont >= 0 && !fonts.contains(currentFont))
            fonts.insert(currentFont, name);
        fontName.clear();
    }

    void commitColor()
    {
        colors.append(colorComponents ? QColor(red, green, blue) : QColor());
        red = green = blue = 0;
        colorComponents = false;
    }

    void setCodepage(int cp)
    {
        // Other single-byte code pages when Qt can convert them (ICU).
        if (cp == 1252 || cp <= 0)
            return;
        const QByteArray name = "windows-" + QByteArray::number(cp);
        if (!QStringDecoder(name.constData()).isValid())
            return;
        for (int b = 0x80; b < 256; ++b) {
            const char byte = char(b);
            const QString s = QStringDecoder(name.constData()).decode(QByteArrayView(&byte, 1));
            codepage[b] = s.size() == 1 ? s[0] : QChar(0xFFFD);
        }
    }

    // ---- pictures

    struct Picture {
        QByteArray data;
        const char *format = nullptr;
        int highNibble = -1;
        int goalWidth = 0;
        int goalHeight = 0;
        int scaleX = 100;
        int scaleY = 100;
    };

    void insertPicture()
    {
        const Picture pic = picture;
        picture = Picture();
        if (!pic.format || pic.data.isEmpty() || top().dest != Dest::Text)
            return;
        const QImage image = QImage::fromData(pic.data, pic.format);
        if (image.isNull())
            return;
        const double w = pic.goalWidth > 0 ? pic.goalWidth / kTwipsPerPixel : image.width();
        const double h = pic.goalHeight > 0 ? pic.goalHeight / kTwipsPerPixel : image.height();
        const QString name = QStringLiteral("rtf-image-%1").arg(++imageCount);
        doc->addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat f;
        f.setName(name);
        f.setWidth(qBound(1.0, w * qBound(1, pic.scaleX, 1000) / 100.0, 10000.0));
        f.setHeight(qBound(1.0, h * qBound(1, pic.scaleY, 1000) / 100.0, 10000.0));
        ensureBlock();
        if (pendingCells > 0) {
            cursor.insertText(QString(pendingCells, QLatin1Char('\t')), charFormat(top().chr));
            pendingCells = 0;
        }
        cursor.insertImage(f);
    }

    // ---- control words

    void word(const Token &t, bool star)
    {
        State &s = top();
        const QByteArray &w = t.word;
        if (s.dest == Dest::Skip)
            return;
        if (w == "u") {
            int code = t.param;
            if (code < 0)
                code += 65536;
            appendChar(code >= 0 && code <= 0xFFFF ? QChar(char16_t(code)) : QChar(0xFFFD));
            unicodeSkip = s.uc;
            return;
        }
        if (w == "uc") {
            s.uc = qBound(0, t.param, kMaxUnicodeSkip);
            return;
        }
        if (s.dest == Dest::FontTable) {
            if (w == "f") {
                if (!fontName.isEmpty())
                    commitFont();
                currentFont = t.param;
            } else if (star || skippedDestinations().contains(w)) {
                s.dest = Dest::Skip;
            }
            return;
        }
        if (s.dest == Dest::ColorTable) {
            const int v = qBound(0, t.param, 255);
            if (w == "red")
                red = v, colorComponents = true;
            else if (w == "green")
                green = v, colorComponents = true;
            else if (w == "blue")
                blue = v, colorComponents = true;
            return;
        }
        if (s.dest == Dest::Picture) {
            pictureWord(t, star);
            return;
        }
        textWord(t, star);
    }

    void pictureWord(const Token &t, bool star)
    {
        const QByteArray &w = t.word;
        if (w == "pngblip")
            picture.format = "PNG";
        else if (w == "jpegblip")
            picture.format = "JPG";
        else if (w == "picwgoal")
            picture.goalWidth = qBound(0, t.param, kMaxTwips * 10);
        else if (w == "pichgoal")
            picture.goalHeight = qBound(0, t.param, kMaxTwips * 10);
        else if (w == "picscalex")
            picture.scaleX = t.param;
        else if (w == "picscaley")
            picture.scaleY = t.param;
        else if (w == "emfblip" || w == "wmetafile" || w == "macpict" || w == "dibitmap" ||
                 w == "wbitmap" || w == "pmmetafile")
            picture.format = nullptr;
        else if (star || skippedDestinations().contains(w))
            top().dest = Dest::Skip;
    }

    void textWord(const Token &t, bool star)
    {
        const QByteArray &w = t.word;
        State &s = top();
        const int p = t.hasParam ? t.param : 1;
        const bool on = !t.hasParam || t.param != 0;

        // Characters that change no format.
        static const QHash<QByteArray, char16_t> chars = {
            {"tab", u'\t'},        {"line", 0x2028},    {"emdash", 0x2014},  {"endash", 0x2013},
            {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C},
            {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
            {"zwj", 0x200D},       {"zwnj", 0x200C},    {"ltrmark", 0x200E}, {"rtlmark", 0x200F},
            {"zwbo", 0x200B},      {"zwnbo", 0xFEFF}};
        const auto ch = chars.constFind(w);
        if (ch != chars.constEnd()) {
            appendChar(QChar(*ch));
            return;
        }

        flushText();
        if (w == "fonttbl") {
            s.dest = Dest::FontTable;
        } else if (w == "colortbl") {
            s.dest = Dest::ColorTable;
        } else if (w == "pict") {
            s.dest = Dest::Picture;
            s.ownsPicture = true;
            picture = Picture();
        } else if (w == "shppict") {
            // The picture of a shape, readable as such: keep it.
        } else if (star || skippedDestinations().contains(w)) {
            s.dest = Dest::Skip;
        } else if (w == "par" || w == "sect") {
            endParagraph();
        } else if (w == "page") {
            endParagraph();
            pageBreakNext = true;
        } else if (w == "cell" || w == "nestcell") {
            ensureBlock();
            ++pendingCells;
        } else if (w == "row" || w == "nestrow") {
            endParagraph();
        } else if (w == "pard") {
            s.par = ParaProps();
        } else if (w == "plain") {
            s.chr = CharProps();
            s.chr.font = defaultFont;
        } else if (w == "b") {
            s.chr.bold = on;
        } else if (w == "i") {
            s.chr.italic = on;
        } else if (underlineWords().contains(w)) {
            s.chr.underline = on;
        } else if (w == "ulnone") {
            s.chr.underline = false;
        } else if (w == "strike" || w == "striked") {
            s.chr.strike = on;
        } else if (w == "v") {
            s.chr.hidden = on;
        } else if (w == "fs") {
            s.chr.halfPoints = t.hasParam ? t.param : 24;
        } else if (w == "f") {
            s.chr.font = t.param;
        } else if (w == "cf") {
            s.chr.foreground = t.param;
        } else if (w == "highlight" || w == "cb" || w == "chcbpat") {
            s.chr.background = t.param;
        } else if (w == "super") {
            s.chr.valign = QTextCharFormat::AlignSuperScript;
        } else if (w == "sub") {
            s.chr.valign = QTextCharFormat::AlignSubScript;
        } else if (w == "up") {
            s.chr.valign = p > 0 ? QTextCharFormat::AlignSuperScript : kBaseline;
        } else if (w == "dn") {
            s.chr.valign = p > 0 ? QTextCharFormat::AlignSubScript : kBaseline;
        } else if (w == "nosupersub") {
            s.chr.valign = QTextCharFormat::AlignNormal;
        } else if (w == "ql") {
            s.par.align = Qt::AlignLeft;
        } else if (w == "qc") {
            s.par.align = Qt::AlignHCenter;
        } else if (w == "qr") {
            s.par.align = Qt::AlignRight;
        } else if (w == "qj") {
            s.par.align = Qt::AlignJustify;
        } else if (w == "li") {
            s.par.left = twips(t);
        } else if (w == "ri") {
            s.par.right = twips(t);
        } else if (w == "fi") {
            s.par.first = twips(t);
        } else if (w == "sb") {
            s.par.before = qMax(0, twips(t));
        } else if (w == "sa") {
            s.par.after = qMax(0, twips(t));
        } else if (w == "pagebb") {
            s.par.pageBefore = on;
        } else if (w == "deff") {
            defaultFont = t.param;
            if (s.chr.font < 0)
                s.chr.font = t.param;
        } else if (w == "ansicpg") {
            setCodepage(t.param);
        }
        // Anything else (\deflang, \rtlch, \lang, \sectd, ...) changes nothing shown.
    }

    Tokenizer tok;
    QTextDocument *doc;
    QTextCursor cursor;
    QList<State> stack;
    std::array<QChar, 256> codepage;
    QMap<int, QString> fonts;
    QList<QColor> colors;
    QString pending;
    QString fontName;
    Picture picture;
    int currentFont = -1;
    int defaultFont = -1;
    int red = 0, green = 0, blue = 0;
    bool colorComponents = false;
    int overflow = 0;
    int unicodeSkip = 0;
    int pendingCells = 0;
    int imageCount = 0;
    bool starPending = false;
    bool pendingParagraph = false;
    bool pageBreakNext = false;
    bool done = false;
};

// ---------------------------------------------------------------- writing

class Writer
{
public:
    explicit Writer(const QTextDocument &doc) : doc(doc)
    {
        const QFont def = doc.defaultFont();
        defaultFamily = def.family();
        defaultPoints = def.pointSizeF() > 0 ? def.pointSizeF() : 12.0;
        fontIndex(defaultFamily);
    }

    QByteArray run()
    {
        // Collect fonts and colours before writing the tables they go in.
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
            charWords(b.charFormat());
            for (auto it = b.begin(); !it.atEnd(); ++it)
                charWords(it.fragment().charFormat());
        }
        QByteArray body;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            block(b, body);

        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
        for (int i = 0; i < families.size(); ++i) {
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
            out += escape(families[i]) + ";}";
        }
        out += "}\n{\\colortbl;";
        for (const QColor &c : colors) {
            out += "\\red" + QByteArray::number(c.red()) + "\\green" +
                   QByteArray::number(c.green()) + "\\blue" + QByteArray::number(c.blue()) + ";";
        }
        out += "}\n" + body + "}\n";
        return out;
    }

private:
    int fontIndex(const QString &anyFamily)
    {
        const QString family = fontTableName(anyFamily);
        int i = families.indexOf(family);
        if (i < 0) {
            families.append(family);
            i = families.size() - 1;
        }
        return i;
    }

    int colorIndex(const QColor &c)
    {
        const QColor rgb = c.toRgb();
        for (int i = 0; i < colors.size(); ++i) {
            if (colors[i].rgb() == rgb.rgb())
                return i + 1;
        }
        colors.append(rgb);
        return colors.size();
    }

    QByteArray charWords(const QTextCharFormat &f)
    {
        QByteArray w;
        const QStringList fams = f.fontFamilies().toStringList();
        const QString family =
            fams.isEmpty() || fams.first().isEmpty() ? defaultFamily : fams.first();
        w += "\\f" + QByteArray::number(fontIndex(family));
        const double points = f.fontPointSize() > 0 ? f.fontPointSize() : defaultPoints;
        w += "\\fs" + QByteArray::number(qRound(points * 2));
        if (f.fontWeight() > QFont::Medium)
            w += "\\b";
        if (f.fontItalic())
            w += "\\i";
        if (f.fontUnderline())
            w += "\\ul";
        if (f.fontStrikeOut())
            w += "\\strike";
        if (f.foreground().style() != Qt::NoBrush)
            w += "\\cf" + QByteArray::number(colorIndex(f.foreground().color()));
        if (f.background().style() != Qt::NoBrush)
            w += "\\chcbpat" + QByteArray::number(colorIndex(f.background().color()));
        if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            w += "\\super";
        else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
            w += "\\sub";
        return w;
    }

    static QByteArray twipsWord(const char *word, double pixels)
    {
        const int t = qRound(pixels * kTwipsPerPixel);
        return t == 0 ? QByteArray() : QByteArray(word) + QByteArray::number(t);
    }

    void block(const QTextBlock &b, QByteArray &out)
    {
        const QTextBlockFormat bf = b.blockFormat();
        out += "\\pard";
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter)
            out += "\\qc";
        else if (a & Qt::AlignRight)
            out += "\\qr";
        else if (a & Qt::AlignJustify)
            out += "\\qj";
        else
            out += "\\ql";
        out += twipsWord("\\li", bf.leftMargin());
        out += twipsWord("\\ri", bf.rightMargin());
        out += twipsWord("\\fi", bf.textIndent());
        out += twipsWord("\\sb", bf.topMargin());
        out += twipsWord("\\sa", bf.bottomMargin());
        if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            out += "\\pagebb";
        bool empty = true;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat cf = frag.charFormat();
            if (cf.isImageFormat()) {
                for (int i = 0; i < frag.length(); ++i)
                    out += image(cf.toImageFormat());
                empty = false;
                continue;
            }
            out += "{" + charWords(cf) + " " + escape(frag.text()) + "}";
            empty = false;
        }
        // An empty paragraph keeps its height through the mark's own format.
        if (empty)
            out += "{" + charWords(b.charFormat()) + "\\par}\n";
        else
            out += "\\par\n";
    }

    QByteArray image(const QTextImageFormat &f) const
    {
        const QVariant res = doc.resource(QTextDocument::ImageResource, QUrl(f.name()));
        QImage img;
        if (res.typeId() == QMetaType::QImage)
            img = res.value<QImage>();
        else if (res.typeId() == QMetaType::QPixmap)
            img = res.value<QPixmap>().toImage();
        if (img.isNull())
            return {};
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!img.save(&buffer, "PNG"))
            return {};
        const double w = f.width() > 0 ? f.width() : img.width();
        const double h = f.height() > 0 ? f.height() : img.height();
        QByteArray out = "{\\pict\\pngblip\\picw" + QByteArray::number(img.width()) + "\\pich" +
                         QByteArray::number(img.height()) + "\\picwgoal" +
                         QByteArray::number(qRound(w * kTwipsPerPixel)) + "\\pichgoal" +
                         QByteArray::number(qRound(h * kTwipsPerPixel)) + "\n";
        const QByteArray hex = png.toHex();
        for (qsizetype i = 0; i < hex.size(); i += 128)
            out += hex.mid(i, 128) + "\n";
        out += "}";
        return out;
    }

    static QByteArray escape(const QString &text)
    {
        QByteArray out;
        out.reserve(text.size());
        for (QChar qc : text) {
            const char16_t c = qc.unicode();
            if (c == '\\' || c == '{' || c == '}') {
                out += '\\';
                out += char(c);
            } else if (c == '\t') {
                out += "\\tab ";
            } else if (c == 0x2028) {
                out += "\\line ";
            } else if (c == 0x00A0) {
                out += "\\~";
            } else if (c == 0x00AD) {
                out += "\\-";
            } else if (c == 0x2011) {
                out += "\\_";
            } else if (c < 0x20 || c == 0xFFFC || c == 0x2029) {
                continue;
            } else if (c < 0x80) {
                out += char(c);
            } else {
                // Signed 16-bit as RTF requires; surrogates stay in pairs.
                out += "\\u" + QByteArray::number(c > 32767 ? int(c) - 65536 : int(c));
                const int b = cp1252::fromUnicode(c);
                if (b >= 0x80)
                    out += "\\'" + QByteArray::number(b, 16);
                else
                    out += '?';
            }
        }
        return out;
    }

    const QTextDocument &doc;
    QString defaultFamily;
    double defaultPoints = 12.0;
    QStringList families;
    QList<QColor> colors;
};

} // namespace

bool read(const QByteArray &data, QTextDocument *doc, QString *error)
{
    if (!doc)
        return false;
    const bool undo = doc->isUndoRedoEnabled();
    // Loading is not an edit the user could undo.
    doc->setUndoRedoEnabled(false);
    doc->clear();
    qsizetype start = 0;
    while (start < data.size() && QChar::isSpace(uchar(data[start])))
        ++start;
    if (!data.mid(start, 5).startsWith("{\\rtf")) {
        if (error)
            *error = QStringLiteral("Ce fichier n'est pas au format RTF.");
        doc->setUndoRedoEnabled(undo);
        return false;
    }
    const QByteArray body = data.mid(start);
    Reader reader(body, doc);
    reader.run();
    doc->setUndoRedoEnabled(undo);
    if (error)
        error->clear();
    return true;
}

QByteArray write(const QTextDocument &doc)
{
    return Writer(doc).run();
}

QByteArray write(const QTextDocumentFragment &fragment)
{
    QTextDocument tmp;
    QTextCursor(&tmp).insertFragment(fragment);
    return write(tmp);
}

} // namespace rtf
