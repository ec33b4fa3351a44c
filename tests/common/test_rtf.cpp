#include "common/rtf.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

namespace
{

// Fonts and images need a GUI application.
class GuiEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_rtf";
        static char *argv[] = {name, nullptr};
        app = new QGuiApplication(argc, argv);
    }
    void TearDown() override { delete app; }

private:
    QGuiApplication *app = nullptr;
};
const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

QByteArray fixture(const char *name)
{
    QFile f(QStringLiteral(SPECTRO_TEST_DATA_DIR "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing fixture " << name;
    return f.readAll();
}

QStringList blockTexts(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}

// Format of the first character of the first occurrence of needle.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &needle)
{
    const QTextCursor found = doc.find(needle, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull()) {
        ADD_FAILURE() << "text not found: " << needle.toStdString();
        return {};
    }
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

QTextBlockFormat blockOf(const QTextDocument &doc, const QString &needle)
{
    const QTextCursor found = doc.find(needle, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull()) {
        ADD_FAILURE() << "text not found: " << needle.toStdString();
        return {};
    }
    return found.block().blockFormat();
}

QString colorOf(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QStringLiteral("-") : brush.color().name();
}

// A readable description of every block and of each run of equal formats,
// with unset properties resolved against the document's default font.
QStringList describe(const QTextDocument &doc)
{
    QStringList out;
    const QFont def = doc.defaultFont();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        out << QStringLiteral("¶ align=%1 left=%2 right=%3 indent=%4 top=%5 bottom=%6 page=%7")
                   .arg(int(bf.alignment() & Qt::AlignHorizontal_Mask))
                   .arg(qRound(bf.leftMargin()))
                   .arg(qRound(bf.rightMargin()))
                   .arg(qRound(bf.textIndent()))
                   .arg(qRound(bf.topMargin()))
                   .arg(qRound(bf.bottomMargin()))
                   .arg(int(bf.pageBreakPolicy()));
        QString lastProps;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat f = frag.charFormat();
            QString props;
            if (f.isImageFormat()) {
                const QTextImageFormat img = f.toImageFormat();
                props = QStringLiteral("image %1x%2")
                            .arg(qRound(img.width()))
                            .arg(qRound(img.height()));
            } else {
                const QStringList fams = f.fontFamilies().toStringList();
                props = QStringLiteral("%1 %2pt w%3%4%5%6 fg%7 bg%8 v%9")
                            .arg(fams.isEmpty() ? def.family() : fams.first())
                            .arg(f.fontPointSize() > 0 ? f.fontPointSize() : def.pointSizeF())
                            .arg(f.fontWeight())
                            .arg(f.fontItalic() ? " italic" : "")
                            .arg(f.fontUnderline() ? " underline" : "")
                            .arg(f.fontStrikeOut() ? " strike" : "")
                            .arg(colorOf(f.foreground()), colorOf(f.background()))
                            .arg(int(f.verticalAlignment()));
            }
            if (props == lastProps)
                out.last() += frag.text();
            else
                out << props + QStringLiteral(" | ") + frag.text();
            lastProps = props;
        }
    }
    return out;
}

QImage imageOf(const QTextDocument &doc, const QTextImageFormat &f)
{
    return doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
}

// ------------------------------------------------------------ fixtures

TEST(RtfFixtures, NotRtfIsRefusedAndLeavesTheDocumentEmpty)
{
    for (const char *data :
         {"", "   ", "hello", "{\\rt", "}{\\rtf1 x}", "\xEF\xBB\xBF{\\rtf1 x}"}) {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("ancien"));
        QString error;
        EXPECT_FALSE(rtf::read(QByteArray(data), &doc, &error)) << data;
        EXPECT_TRUE(doc.isEmpty()) << data;
        EXPECT_FALSE(error.isEmpty()) << data;
    }
    QTextDocument doc;
    EXPECT_TRUE(rtf::read(" \r\n\t{\\rtf1 oui}", &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("oui"));
}

TEST(RtfFixtures, WordProcessorFormatting)
{
    QTextDocument doc;
    ASSERT_TRUE(rtf::read(fixture("lo_mise_en_forme.rtf"), &doc));
    const QString ls(QChar::LineSeparator);
    EXPECT_EQ(blockTexts(doc),
              QStringList({QStringLiteral("Loi de Beer-Lambert"),
                           QStringLiteral("L'absorbance d'une solution colorée est "
                                          "proportionnelle à sa concentration : A = ε × ℓ × c."),
                           QStringLiteral("On prépare une solution de permanganate de potassium "
                                          "à c = 1,0 × 10-3 mol·L-1."),
                           QStringLiteral("Données : l'ion MnO4− absorbe surtout vers 525 nm ; la "
                                          "cuve mesure 1 cm."),
                           QStringLiteral("Question 1.\tQuelle est la couleur perçue ?") + ls +
                               QStringLiteral("Justifier à l'aide du cercle chromatique « œil »."),
                           QStringLiteral("Prix : 12 € — élève λ 𝜆")}));

    const QTextCharFormat title = formatOf(doc, QStringLiteral("Loi de"));
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(title.fontPointSize(), 16.0);
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList(QStringLiteral("Liberation Sans")));
    EXPECT_EQ(colorOf(title.foreground()), QStringLiteral("#000080"));
    EXPECT_EQ(blockOf(doc, QStringLiteral("Loi de")).alignment(), Qt::AlignHCenter);

    EXPECT_EQ(formatOf(doc, QStringLiteral("proportionnelle")).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(doc, QStringLiteral(" à sa")).fontWeight(), QFont::Normal);
    EXPECT_TRUE(formatOf(doc, QStringLiteral("A =")).fontItalic());
    EXPECT_DOUBLE_EQ(formatOf(doc, QStringLiteral("absorbance")).fontPointSize(), 12.0);
    EXPECT_EQ(formatOf(doc, QStringLiteral("absorbance")).fontFamilies().toStringList(),
              QStringList(QStringLiteral("Liberation Serif")));

    // The exponent keeps the colour of its sentence.
    const QTextCharFormat exponent = formatOf(doc, QStringLiteral("-3"));
    EXPECT_EQ(exponent.verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(colorOf(exponent.foreground()), QStringLiteral("#c00000"));
    EXPECT_EQ(formatOf(doc, QStringLiteral("c = 1,0")).verticalAlignment(),
              QTextCharFormat::AlignNormal);
    EXPECT_EQ(formatOf(doc, QStringLiteral("4−")).verticalAlignment(),
              QTextCharFormat::AlignSubScript);
    EXPECT_TRUE(formatOf(doc, QStringLiteral("1 cm")).fontUnderline());
    EXPECT_DOUBLE_EQ(formatOf(doc, QStringLiteral("Question")).fontPointSize(), 14.0);
    EXPECT_EQ(colorOf(formatOf(doc, QStringLiteral("élève")).background()),
              QStringLiteral("#ffff00"));

    // 1 cm = 567 twips, 0,5 cm = 283 twips, at 15 twips per pixel.
    const QTextBlockFormat indented = blockOf(doc, QStringLiteral("Données"));
    EXPECT_NEAR(indented.leftMargin(), 567 / 15.0, 1e-9);
    EXPECT_NEAR(indented.textIndent(), 283 / 15.0, 1e-9);
    EXPECT_EQ(blockOf(doc, QStringLiteral("Prix")).alignment(), Qt::AlignRight);
}

TEST(RtfFixtures, TableCellsInOrderAndPicture)
{
    QTextDocument doc;
    ASSERT_TRUE(rtf::read(fixture("lo_tableau_image.rtf"), &doc));
    EXPECT_EQ(blockTexts(doc),
              QStringList({QStringLiteral("Gamme d'étalonnage :"),
                           QStringLiteral("Solution\tc (mmol/L)\tA"),
                           QStringLiteral("S1\t0,20\t0,495"), QStringLiteral("S2\t0,40\t0,991"),
                           QStringLiteral("Le spectre : \uFFFC fin.")}));
    EXPECT_EQ(formatOf(doc, QStringLiteral("c (mmol")).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(doc, QStringLiteral("0,20")).fontWeight(), QFont::Normal);

    // The PNG (12 × 6 pixels: red, green and blue bands), shown 3 cm wide.
    const QTextCharFormat f = formatOf(doc, QStringLiteral("\uFFFC"));
    ASSERT_TRUE(f.isImageFormat());
    const QTextImageFormat img = f.toImageFormat();
    EXPECT_NEAR(img.width(), 180 / 15.0 * 9.45, 0.01);
    EXPECT_NEAR(img.height(), 90 / 15.0 * 9.44, 0.01);
    const QImage image = imageOf(doc, img);
    ASSERT_EQ(image.size(), QSize(12, 6));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(5, 3), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(11, 5), qRgb(0, 0, 255));
}

TEST(RtfFixtures, ListRaisedTextSpacingAndPageBreak)
{
    QTextDocument doc;
    ASSERT_TRUE(rtf::read(fixture("lo_depuis_html.rtf"), &doc));
    const QStringList texts = blockTexts(doc);
    ASSERT_EQ(texts.size(), 7);
    EXPECT_EQ(texts[0], QStringLiteral("Indicateurs colorés"));
    // Bullets come from the list text that word processors write for readers
    // without list support.
    EXPECT_EQ(texts[3], QStringLiteral("•\tl'hélianthine vire vers pH = 3,7 ; "));
    EXPECT_EQ(texts[5], QStringLiteral("Concentration : c = 2,5 × 10-4 mol·L-1, ions H3O+."));
    EXPECT_EQ(texts[6], QStringLiteral("Deuxième page : « fin »."));

    EXPECT_DOUBLE_EQ(formatOf(doc, QStringLiteral("Indicateurs")).fontPointSize(), 24.0);
    EXPECT_EQ(blockOf(doc, QStringLiteral("Indicateurs")).topMargin(), 16.0);   // \sb240
    EXPECT_EQ(blockOf(doc, QStringLiteral("Indicateurs")).bottomMargin(), 8.0); // \sa120
    EXPECT_NEAR(blockOf(doc, QStringLiteral("hélianthine")).leftMargin(), 709 / 15.0, 1e-9);
    EXPECT_NEAR(blockOf(doc, QStringLiteral("hélianthine")).textIndent(), -283 / 15.0, 1e-9);
    EXPECT_TRUE(formatOf(doc, QStringLiteral("hélianthine")).fontItalic());
    EXPECT_EQ(colorOf(formatOf(doc, QStringLiteral("rose")).foreground()),
              QStringLiteral("#e000e0"));
    // \up and \dn raise and lower.
    EXPECT_EQ(formatOf(doc, QStringLiteral("-4")).verticalAlignment(),
              QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatOf(doc, QStringLiteral("3O")).verticalAlignment(),
              QTextCharFormat::AlignSubScript);
    EXPECT_EQ(formatOf(doc, QStringLiteral("O+")).verticalAlignment(),
              QTextCharFormat::AlignNormal);
    EXPECT_EQ(blockOf(doc, QStringLiteral("Deuxième")).pageBreakPolicy(),
              QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(blockOf(doc, QStringLiteral("Concentration")).pageBreakPolicy(),
              QTextFormat::PageBreak_Auto);
}

// What we write from a word processor's document reads back the same.
TEST(RtfFixtures, WriteThenReadKeepsEverything)
{
    for (const char *name :
         {"lo_mise_en_forme.rtf", "lo_tableau_image.rtf", "lo_depuis_html.rtf"}) {
        QTextDocument first;
        ASSERT_TRUE(rtf::read(fixture(name), &first));
        const QByteArray written = rtf::write(first);
        QTextDocument second;
        second.setDefaultFont(first.defaultFont());
        ASSERT_TRUE(rtf::read(written, &second));
        EXPECT_EQ(describe(second), describe(first)) << name;
    }
    // The picture survives with its pixels.
    QTextDocument first;
    rtf::read(fixture("lo_tableau_image.rtf"), &first);
    QTextDocument second;
    rtf::read(rtf::write(first), &second);
    const QImage image =
        imageOf(second, formatOf(second, QStringLiteral("\uFFFC")).toImageFormat());
    ASSERT_EQ(image.size(), QSize(12, 6));
    EXPECT_EQ(image.pixel(11, 0), qRgb(0, 0, 255));
}

// ------------------------------------------------------------ hand-written input

struct TextCase {
    const char *rtf;
    const char *expected; // UTF-8, blocks joined by '\n'
};

TEST(RtfReading, TextCases)
{
    const TextCase cases[] = {
        {"{\\rtf1 a\\par b\\par}", "a\nb"},
        {"{\\rtf1 a\\par\\par b}", "a\n\nb"},
        {"{\\rtf1 caf\\'e9 \\'80 \\'9c}", "café € œ"},
        {"{\\rtf1\\ansi\\ansicpg1252 \\u233?t\\u233?}", "été"},
        {"{\\rtf1 \\uc2\\u233\\'65\\'66x}", "éx"},
        {"{\\rtf1 \\uc0\\u233 x}", "éx"},
        {"{\\rtf1 {\\uc2 \\u233 ab}c}", "éc"},
        {"{\\rtf1 \\u8364?\\u-10187?\\u-8442?}", "€𝜆"},
        {"{\\rtf1 \\\\ \\{ \\} \\~x\\_y\\-z}", "\\ { } \u00A0x\u2011y\u00ADz"},
        {"{\\rtf1 a\\tab b\\line c}", "a\tb\u2028c"},
        {"{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}", "—–‘’“”•"},
        {"{\\rtf1 {\\*\\inconnu cach\\'e9}{\\info{\\title T}}{\\stylesheet{\\s0 N;}}vu}", "vu"},
        {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt lien}}}", "lien"},
        {"{\\rtf1 \\v cach\\'e9\\v0 vu}", "vu"},
        {"{\\rtf1 {\\header en-t\\'eate}{\\footnote note}texte}", "texte"},
        {"{\\rtf1 a\\cell b\\cell\\row\\cell d\\cell\\row}", "a\tb\n\td"},
        {"{\\rtf1\\deff0\\deflang1036 {\\fonttbl{\\f0 Arial;}}x}", "x"},
        {"{\\rtf1 a\\\nb\\\r\nc}", "a\nb\nc"},
        {"{\\rtf1 a\r\nb}", "ab"},
        {"{\\rtf1 a}apr\\'e8s", "a"},
        {"{\\rtf1 {\\pict\\wmetafile8 0100ff}x}", "x"},
        {"{\\rtf1 {\\pict\\pngblip 0011}x}", "x"},
        {"{\\rtf1 a\\bin3 }{}b}", "ab"},
    };
    for (const TextCase &c : cases) {
        QTextDocument doc;
        ASSERT_TRUE(rtf::read(QByteArray(c.rtf), &doc)) << c.rtf;
        EXPECT_EQ(blockTexts(doc).join(QLatin1Char('\n')), QString::fromUtf8(c.expected)) << c.rtf;
    }
}

struct FormatCase {
    const char *body; // after the font and colour tables
    const char *needle;
    std::function<bool(const QTextCharFormat &, const QTextBlockFormat &)> check;
};

TEST(RtfReading, FormatCases)
{
    using CF = QTextCharFormat;
    using BF = QTextBlockFormat;
    const FormatCase cases[] = {
        {"\\deff1 x", "x",
         [](const CF &f, const BF &) {
             return f.fontFamilies().toStringList() == QStringList("Courier New");
         }},
        {"{\\f0\\b\\i\\ul\\strike\\fs40 y}\\plain x", "x",
         [](const CF &f, const BF &) {
             return f.fontWeight() == QFont::Normal && !f.fontItalic() && !f.fontUnderline() &&
                    !f.fontStrikeOut() && f.fontPointSize() == 12.0;
         }},
        {"{\\b y}x", "x", [](const CF &f, const BF &) { return f.fontWeight() == QFont::Normal; }},
        {"\\b y\\b0 x", "x",
         [](const CF &f, const BF &) { return f.fontWeight() == QFont::Normal; }},
        {"\\ul y\\ulnone x", "x", [](const CF &f, const BF &) { return !f.fontUnderline(); }},
        {"\\uldb x", "x", [](const CF &f, const BF &) { return f.fontUnderline(); }},
        {"\\fs17 x", "x", [](const CF &f, const BF &) { return f.fontPointSize() == 8.5; }},
        {"\\cf2 x", "x",
         [](const CF &f, const BF &) { return f.foreground().color() == QColor(0, 128, 0); }},
        {"\\cf1 y\\cf0 x", "x",
         [](const CF &f, const BF &) { return f.foreground().style() == Qt::NoBrush; }},
        {"\\cf9 x", "x",
         [](const CF &f, const BF &) { return f.foreground().style() == Qt::NoBrush; }},
        {"\\highlight1 x", "x",
         [](const CF &f, const BF &) { return f.background().color() == QColor(255, 0, 0); }},
        {"\\cb2 x", "x",
         [](const CF &f, const BF &) { return f.background().color() == QColor(0, 128, 0); }},
        {"\\up6 x", "x",
         [](const CF &f, const BF &) { return f.verticalAlignment() == CF::AlignSuperScript; }},
        {"\\dn4 x", "x",
         [](const CF &f, const BF &) { return f.verticalAlignment() == CF::AlignSubScript; }},
        {"\\super y\\nosupersub x", "x",
         [](const CF &f, const BF &) { return f.verticalAlignment() == CF::AlignNormal; }},
        {"\\sub y\\up0 x", "x",
         [](const CF &f, const BF &) { return f.verticalAlignment() == CF::AlignNormal; }},
        {"\\qj x\\par", "x",
         [](const CF &, const BF &b) { return b.alignment() == Qt::AlignJustify; }},
        {"\\qc y\\par\\pard x", "x",
         [](const CF &, const BF &b) { return b.alignment() == Qt::AlignLeft; }},
        {"\\li720\\ri360\\fi-360\\sb120\\sa240 x", "x",
         [](const CF &, const BF &b) {
             return b.leftMargin() == 48 && b.rightMargin() == 24 && b.textIndent() == -24 &&
                    b.topMargin() == 8 && b.bottomMargin() == 16;
         }},
        // Paragraph properties set before the mark apply to the whole paragraph.
        {"x\\qr\\par", "x",
         [](const CF &, const BF &b) { return b.alignment() == Qt::AlignRight; }},
        {"y\\page x", "x",
         [](const CF &, const BF &b) {
             return b.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore;
         }},
    };
    for (const FormatCase &c : cases) {
        const QByteArray rtf = QByteArray("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern "
                                          "Courier New;}}{\\colortbl;\\red255\\green0\\blue0;"
                                          "\\red0\\green128\\blue0;}") +
                               c.body + "}";
        QTextDocument doc;
        ASSERT_TRUE(rtf::read(rtf, &doc)) << c.body;
        EXPECT_TRUE(
            c.check(formatOf(doc, QLatin1String(c.needle)), blockOf(doc, QLatin1String(c.needle))))
            << c.body;
    }
}

TEST(RtfReading, JpegPictureAndUnsupportedOnes)
{
    QImage source(8, 4, QImage::Format_RGB32);
    source.fill(QColor(0, 0, 255));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(source.save(&buffer, "JPG"));
    const QByteArray rtf = "{\\rtf1 a{\\*\\shppict{\\pict\\jpegblip\\picscalex200\\picscaley50 " +
                           jpeg.toHex() + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}b}";
    QTextDocument doc;
    ASSERT_TRUE(rtf::read(rtf, &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("a\uFFFCb"));
    const QTextImageFormat f = formatOf(doc, QStringLiteral("\uFFFC")).toImageFormat();
    EXPECT_EQ(f.width(), 16.0);
    EXPECT_EQ(f.height(), 2.0);
    const QImage image = imageOf(doc, f);
    ASSERT_EQ(image.size(), QSize(8, 4));
    EXPECT_LT(qRed(image.pixel(4, 2)), 30);
    EXPECT_GT(qBlue(image.pixel(4, 2)), 220);
}

// ------------------------------------------------------------ writing

TEST(RtfWriting, CharactersAreEscapedAsRequired)
{
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"a\\b{c}", "a\\\\b\\{c\\}"},
        {"été", "\\u233\\'e9t\\u233\\'e9"},
        {"€œ’", "\\u8364\\'80\\u339\\'9c\\u8217\\'92"},
        {"λ", "\\u955?"},
        {"日", "\\u26085?"},
        {"\uFFFD", "\\u-3?"},
        {"𝜆", "\\u-10187?\\u-8442?"},
        {"a\tb", "a\\tab b"},
        {"a\u2028b", "a\\line b"},
        {"1\u00A0000", "1\\~000"},
    };
    for (const auto &c : cases) {
        QTextDocument doc;
        doc.setPlainText(QString::fromUtf8(c.text));
        const QByteArray out = rtf::write(doc);
        EXPECT_TRUE(out.contains(QByteArray(" ") + c.expected + "}")) << c.text << "\n"
                                                                      << out.constData();
        for (char ch : out)
            ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << c.text;
    }
}

// Whatever is written reads back and writes out byte for byte: a text saved
// again and again does not drift.
TEST(RtfWriting, WhatIsWrittenIsAFixedPoint)
{
    const struct {
        const char *what;
        QByteArray rtf;
    } cases[] = {
        {"fuzzer finding: a tab in a font name", fixture("font_name_with_tab.rtf")},
        {"controls in a font name",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss A\\tab r\\line i\\'01al;}}\\f0 x}"},
        {"escaped symbols in a font name",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 A\\~r\\-i\\_a\\{l\\};}}\\f0 x}"},
        {"font name of blanks", "{\\rtf1\\ansi{\\fonttbl{\\f0 \\'09 ;}}\\f0 x}"},
        {"unassigned Windows-1252 bytes", "{\\rtf1\\ansi \\'81\\'8d\\'8f\\'90\\'9d}"},
    };
    for (const auto &c : cases) {
        QTextDocument first;
        ASSERT_TRUE(rtf::read(c.rtf, &first)) << c.what;
        const QByteArray written = rtf::write(first);
        QTextDocument again;
        ASSERT_TRUE(rtf::read(written, &again)) << c.what;
        EXPECT_EQ(again.toPlainText(), first.toPlainText()) << c.what;
        EXPECT_EQ(rtf::write(again), written) << c.what << "\n" << written.constData();
    }
    // The five bytes read as the C1 controls Windows gives them.
    QTextDocument doc;
    ASSERT_TRUE(rtf::read("{\\rtf1\\ansi \\'81\\'8d\\'8f\\'90\\'9d}", &doc));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("\u0081\u008D\u008F\u0090\u009D"));
}

TEST(RtfWriting, HeaderTablesAndParagraphs)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    QTextCursor c(&doc);
    QTextCharFormat red;
    red.setForeground(QColor(192, 0, 0));
    red.setFontFamilies({QStringLiteral("Times New Roman")});
    red.setFontPointSize(14);
    red.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("Titre"), red);
    QTextBlockFormat indented;
    indented.setLeftMargin(30);
    indented.setTextIndent(-10);
    indented.setAlignment(Qt::AlignHCenter);
    c.insertBlock(indented, QTextCharFormat());
    c.insertText(QStringLiteral("corps"));
    const QByteArray out = rtf::write(doc);
    EXPECT_TRUE(out.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1")) << out.constData();
    EXPECT_TRUE(out.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                             "{\\f1\\fnil\\fcharset0 Times New Roman;}}"))
        << out.constData();
    EXPECT_TRUE(out.contains("{\\colortbl;\\red192\\green0\\blue0;}")) << out.constData();
    EXPECT_TRUE(out.contains("\\pard\\ql{\\f1\\fs28\\b\\cf1 Titre}\\par")) << out.constData();
    EXPECT_TRUE(out.contains("\\pard\\qc\\li450\\fi-150{\\f0\\fs20 corps}\\par"))
        << out.constData();
    EXPECT_TRUE(out.endsWith("}\n"));
    EXPECT_EQ(out.count('{'), out.count('}'));
}

struct RoundTripCase {
    const char *name;
    const char *text;
    std::function<void(QTextCharFormat &, QTextBlockFormat &)> apply;
};

TEST(RtfWriting, RoundTripKeepsTextAndFormats)
{
    const auto unformatted = [](QTextCharFormat &, QTextBlockFormat &) {};
    const RoundTripCase cases[] = {
        {"plain", "texte", unformatted},
        {"accents", "àâçéèêëîïôöùûüÿœæ ÀÇÉÈ € « » …", unformatted},
        {"beyond cp1252", "λ ε ℓ → ≤ 日本 𝜆 😀", unformatted},
        {"specials", "a\\b{c}\td\u2028e\u00A0f", unformatted},
        {"bold", "gras",
         [](QTextCharFormat &f, QTextBlockFormat &) { f.setFontWeight(QFont::Bold); }},
        {"italic", "italique",
         [](QTextCharFormat &f, QTextBlockFormat &) { f.setFontItalic(true); }},
        {"underline", "souligné",
         [](QTextCharFormat &f, QTextBlockFormat &) { f.setFontUnderline(true); }},
        {"strike", "barré",
         [](QTextCharFormat &f, QTextBlockFormat &) { f.setFontStrikeOut(true); }},
        {"size", "grand", [](QTextCharFormat &f, QTextBlockFormat &) { f.setFontPointSize(9.5); }},
        {"family", "police",
         [](QTextCharFormat &f, QTextBlockFormat &) {
             f.setFontFamilies({QStringLiteral("Liberation Mono")});
         }},
        {"colour", "bleu",
         [](QTextCharFormat &f, QTextBlockFormat &) { f.setForeground(QColor(0, 0, 192)); }},
        {"background", "surligné",
         [](QTextCharFormat &f, QTextBlockFormat &) { f.setBackground(QColor(255, 255, 0)); }},
        {"superscript", "-1",
         [](QTextCharFormat &f, QTextBlockFormat &) {
             f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
         }},
        {"subscript", "2",
         [](QTextCharFormat &f, QTextBlockFormat &) {
             f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
         }},
        {"centred", "centre",
         [](QTextCharFormat &, QTextBlockFormat &b) { b.setAlignment(Qt::AlignHCenter); }},
        {"right", "droite",
         [](QTextCharFormat &, QTextBlockFormat &b) { b.setAlignment(Qt::AlignRight); }},
        {"justified", "justifié",
         [](QTextCharFormat &, QTextBlockFormat &b) { b.setAlignment(Qt::AlignJustify); }},
        {"indents", "retrait",
         [](QTextCharFormat &, QTextBlockFormat &b) {
             b.setLeftMargin(30);
             b.setRightMargin(12);
             b.setTextIndent(-20);
             b.setTopMargin(6);
             b.setBottomMargin(4);
         }},
        {"page break", "page",
         [](QTextCharFormat &, QTextBlockFormat &b) {
             b.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
         }},
        {"everything", "tout",
         [](QTextCharFormat &f, QTextBlockFormat &b) {
             f.setFontWeight(QFont::Bold);
             f.setFontItalic(true);
             f.setFontUnderline(true);
             f.setForeground(QColor(200, 80, 200));
             f.setFontPointSize(9);
             f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
             b.setAlignment(Qt::AlignRight);
             b.setLeftMargin(2);
         }},
    };
    for (const RoundTripCase &c : cases) {
        QTextDocument doc;
        doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        QTextCursor cur(&doc);
        cur.insertText(QStringLiteral("premier paragraphe"));
        QTextCharFormat f;
        QTextBlockFormat b;
        c.apply(f, b);
        cur.insertBlock(b);
        cur.insertText(QStringLiteral("avant "), QTextCharFormat());
        cur.insertText(QString::fromUtf8(c.text), f);
        cur.insertText(QStringLiteral(" après"), QTextCharFormat());
        cur.insertBlock(QTextBlockFormat());
        cur.insertBlock(QTextBlockFormat());
        cur.insertText(QStringLiteral("après deux marques"));

        QTextDocument back;
        back.setDefaultFont(doc.defaultFont());
        ASSERT_TRUE(rtf::read(rtf::write(doc), &back)) << c.name;
        EXPECT_EQ(describe(back), describe(doc)) << c.name;
    }
}

TEST(RtfWriting, SelectionOnly)
{
    QTextDocument doc;
    QTextCursor cur(&doc);
    cur.insertText(QStringLiteral("hors "));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cur.insertText(QStringLiteral("choisi"), bold);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cur.insertBlock(centred);
    cur.insertText(QStringLiteral("suite hors"));
    cur.setPosition(5);
    cur.setPosition(doc.find(QStringLiteral(" hors")).selectionStart(), QTextCursor::KeepAnchor);

    QTextDocument back;
    ASSERT_TRUE(rtf::read(rtf::write(cur.selection()), &back));
    EXPECT_EQ(blockTexts(back), QStringList({QStringLiteral("choisi"), QStringLiteral("suite")}));
    EXPECT_EQ(formatOf(back, QStringLiteral("choisi")).fontWeight(), QFont::Bold);
    EXPECT_EQ(blockOf(back, QStringLiteral("suite")).alignment(), Qt::AlignHCenter);
}

// ------------------------------------------------------------ hostile input

TEST(RtfHostileInput, TruncatedAtEveryOffset)
{
    const QByteArray data = fixture("lo_mise_en_forme.rtf");
    ASSERT_GT(data.size(), 1000);
    QTextDocument doc;
    for (qsizetype n = 0; n <= data.size(); ++n) {
        const bool ok = rtf::read(data.left(n), &doc);
        ASSERT_EQ(ok, n >= 5) << n;
    }
    // Cut inside the last paragraph: everything before the cut is there.
    rtf::read(data.left(data.indexOf("Prix") + 2), &doc);
    EXPECT_EQ(doc.blockCount(), 6);
    EXPECT_EQ(doc.lastBlock().text(), QStringLiteral("Pr"));
}

TEST(RtfHostileInput, MalformedInputReturns)
{
    const QByteArray deep = QByteArray(100000, '{');
    const struct {
        QByteArray rtf;
        const char *expected; // nullptr: only require that it returns
    } cases[] = {
        {"{\\rtf1 a}}}}} b", "a"},
        {"{\\rtf1 {{{ a", "a"},
        {"{\\rtf1 " + deep, ""},
        {"{\\rtf1 " + deep + "x" + QByteArray(100000, '}') + " fin}", "fin"},
        {"{\\rtf1 " + QByteArray(999, '{') + "x" + QByteArray(999, '}') + "}", "x"},
        {"{\\rtf1 \\u99999999999?a}", "\uFFFDa"},
        {"{\\rtf1 \\u-99999?a}", "\uFFFDa"},
        {"{\\rtf1 \\uc99999 \\u233 abcdefghijklmnopqrstuvwxyz}", "éqrstuvwxyz"},
        {"{\\rtf1 a\\'zzb\\'}", "azzb"},
        {"{\\rtf1 \\fs99999999999 x}", "x"},
        {"{\\rtf1 \\fs-5 \\li-99999999999 \\fi99999999999 x}", "x"},
        {"{\\rtf1 a\\bin99999999999 ", "a"},
        {"{\\rtf1 a\\bin-5 b}", "ab"},
        {"{\\rtf1 " + QByteArray(100, '\\') + "}", nullptr},
        {"{\\rtf1 \\" + QByteArray(5000, 'a') + "99999999999999999999 x}", "x"},
        {"{\\rtf1 {\\pict\\pngblip " + QByteArray(5000, 'f') + "}x}", "x"},
        {"{\\rtf1 {\\pict\\pngblip 89504e47", ""},
        {"{\\rtf1 {\\fonttbl{\\f0 A", ""},
        {"{\\rtf1 {\\colortbl;\\red999999\\green-4;}\\cf1 x}", "x"},
        {QByteArray("{\\rtf1 a\0b\x01\x7f\xff}", 14), "ab\u007f\u00ff"},
        {"{\\rtf1 \\u0?\\u65532?\\u64976?\\u64977?\\u8233?x}", "x"},
    };
    for (const auto &c : cases) {
        QTextDocument doc;
        ASSERT_TRUE(rtf::read(c.rtf, &doc)) << c.rtf.left(60).constData();
        if (c.expected) {
            EXPECT_EQ(doc.toPlainText().trimmed(), QString::fromUtf8(c.expected))
                << c.rtf.left(60).constData();
        }
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it)
                EXPECT_LE(it.fragment().charFormat().fontPointSize(), 1638.0);
        }
    }
}

TEST(RtfHostileInput, RandomBytesAndRandomTokens)
{
    QRandomGenerator rng(20240607);
    static const char *const tokens[] = {
        "{",          "}",         "\\",         "\\'",  "\\'e9",  "\\u",          "\\u-",
        "\\uc",       "\\bin",     "\\pict",     "\\*",  "\\par",  "\\pard",       "\\cell",
        "\\row",      "\\fonttbl", "\\colortbl", "\\f",  "\\fs",   "\\cf",         "\\pngblip",
        "\\jpegblip", "\\b",       "\\super",    "\\li", "\\page", "\\shppict",    ";",
        "0",          "9",         "-",          " ",    "ab",     "\xe9",         "89504e47",
        "\\red",      "\\line",    "\\plain",    "\\v",  "\\tab",  "\\stylesheet", "\\info"};
    QTextDocument doc;
    for (int round = 0; round < 300; ++round) {
        QByteArray data = "{\\rtf1 ";
        if (round % 2 == 0) {
            for (int i = 0; i < 2000; ++i)
                data.append(char(rng.bounded(256)));
        } else {
            for (int i = 0; i < 600; ++i)
                data.append(tokens[rng.bounded(int(std::size(tokens)))]);
        }
        ASSERT_TRUE(rtf::read(data, &doc)) << round;
        // Whatever was read can be written and read again.
        ASSERT_TRUE(rtf::read(rtf::write(doc), &doc)) << round;
    }
}

} // namespace
