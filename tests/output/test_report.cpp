// The values report beside the graph: texts, colours and character formats.
#include "fakefeuille.h"

#include "output/report.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <gtest/gtest.h>

namespace
{

struct Piece {
    QString text;
    QTextCharFormat format;
};

// The pieces of one line, each with its own character format.
std::vector<Piece> pieces(const QTextBlock &block)
{
    std::vector<Piece> out;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fr = it.fragment();
        if (fr.isValid())
            out.push_back({fr.text(), fr.charFormat()});
    }
    return out;
}

const Piece *findPiece(const std::vector<Piece> &ps, const QString &text)
{
    for (const Piece &p : ps) {
        if (p.text.contains(text))
            return &p;
    }
    return nullptr;
}

QStringList lines(const QTextEdit &edit)
{
    return edit.toPlainText().split(QLatin1Char('\n'));
}

class Report : public testing::Test
{
protected:
    FakeFeuille f;
    graph::CurveStore store;

    void add(const graph::CurveSettings &s) { store.curves[store.nextSlot(true)] = s; }
    void write(bool wavelengthGraph)
    {
        output::rapport(f.c.Rappo, store, solutionNames(), wavelengthGraph);
    }
};

TEST_F(Report, EmptyStoreEmptiesTheBox)
{
    f.c.Rappo->setPlainText(QStringLiteral("ancien texte"));
    write(true);
    EXPECT_TRUE(f.c.Rappo->document()->isEmpty());
    EXPECT_EQ(f.c.Rappo->toPlainText(), QString());
    EXPECT_TRUE(f.c.Rappo->isReadOnly());
}

TEST_F(Report, TenCurvesNumberedInTheirSlotColours)
{
    for (int i = 0; i < graph::kSlots; ++i)
        add(curve(i, QStringLiteral("0,001"), QStringLiteral("7"), 500 + i, 2));
    write(true);

    int found = 0;
    for (QTextBlock b = f.c.Rappo->document()->begin(); b.isValid(); b = b.next()) {
        if (!b.text().startsWith(QStringLiteral("\u2022 Courbe ")))
            continue;
        const QString number = QString::number(found + 1);
        SCOPED_TRACE(b.text().toStdString());
        EXPECT_EQ(b.text(), QStringLiteral("\u2022 Courbe ") + number + QStringLiteral(". ") +
                                solutionNames().at(found));
        EXPECT_EQ(b.blockFormat().leftMargin(), 0);
        const auto ps = pieces(b);
        const Piece *title =
            findPiece(ps, QStringLiteral("Courbe ") + number + QStringLiteral("."));
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->format.foreground().color(), graph::curveColour(found));
        EXPECT_EQ(title->format.fontWeight(), QFont::Bold);
        const Piece *bullet = findPiece(ps, QStringLiteral("\u2022"));
        ASSERT_NE(bullet, nullptr);
        EXPECT_EQ(bullet->format.foreground().color(), graph::curveColour(found));
        const Piece *name = findPiece(ps, solutionNames().at(found));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->format.foreground().color(), QColor(Qt::black));
        EXPECT_NE(name->format.fontWeight(), QFont::Bold);
        ++found;
    }
    EXPECT_EQ(found, 10);
    EXPECT_EQ(graph::curveColour(5), QColor(0, 0, 0)); // the sixth paragraph is black
}

struct LinesCase {
    const char *name;
    graph::CurveSettings settings;
    bool wavelengthGraph;
    QStringList expected;
};

class ReportLines : public Report, public testing::WithParamInterface<LinesCase>
{
};

TEST_P(ReportLines, OneCurve)
{
    add(GetParam().settings);
    write(GetParam().wavelengthGraph);
    EXPECT_EQ(lines(*f.c.Rappo), GetParam().expected);
}

const QString kEnd; // the empty line after a curve, then the paragraph left open

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportLines,
    testing::Values(
        LinesCase{"GroupedConcentrationKeptAsTyped",
                  curve(10, QStringLiteral("0,000 012 3"), QStringLiteral("7"), 550, 2),
                  true,
                  {QStringLiteral("\u2022 Courbe 1. Solution de sulfate de cuivre"),
                   QStringLiteral("Concentration : c = 0,000 012 3 mol \u00b7 L-1"),
                   QStringLiteral("\u00c9paisseur de la cuve : 1 cm"), kEnd, kEnd}},
        LinesCase{"SameCurveOnConcentrationGraph",
                  curve(10, QStringLiteral("0,000 012 3"), QStringLiteral("7"), 550, 2),
                  false,
                  {QStringLiteral("\u2022 Courbe 1. Solution de sulfate de cuivre"),
                   QStringLiteral("Longueur d'onde : \u03bb = 550 nm"),
                   QStringLiteral("\u00c9paisseur de la cuve : 1 cm"), kEnd, kEnd}},
        LinesCase{"BromothymolBlueHasPh",
                  curve(0, QStringLiteral("0,001"), QStringLiteral("6,5"), 620, 1),
                  true,
                  {QStringLiteral("\u2022 Courbe 1. Solution de bleu de bromothymol"),
                   QStringLiteral("Concentration : c = 0,001 mol \u00b7 L-1"),
                   QStringLiteral("pH de la solution : 6,5"),
                   QStringLiteral("\u00c9paisseur de la cuve : 0,5 cm"), kEnd, kEnd}},
        LinesCase{"PhenolphthaleinHasPh",
                  curve(9, QStringLiteral("0,01"), QStringLiteral("10"), 553, 3),
                  false,
                  {QStringLiteral("\u2022 Courbe 1. Solution de ph\u00e9nolphtal\u00e9ine"),
                   QStringLiteral("Longueur d'onde : \u03bb = 553 nm"),
                   QStringLiteral("pH de la solution : 10"),
                   QStringLiteral("\u00c9paisseur de la cuve : 1,5 cm"), kEnd, kEnd}},
        LinesCase{"MethylOrangeHasPh",
                  curve(12, QStringLiteral("0,002"), QStringLiteral("3,7"), 470, 2),
                  true,
                  {QStringLiteral("\u2022 Courbe 1. Solution d'h\u00e9lianthine (orange de "
                                  "m\u00e9thyle)"),
                   QStringLiteral("Concentration : c = 0,002 mol \u00b7 L-1"),
                   QStringLiteral("pH de la solution : 3,7"),
                   QStringLiteral("\u00c9paisseur de la cuve : 1 cm"), kEnd, kEnd}},
        LinesCase{"NoPhLineForOtherSolutions",
                  curve(8, QStringLiteral("0,000 2"), QStringLiteral("4"), 525, 2),
                  true,
                  {QStringLiteral("\u2022 Courbe 1. Solution de permanganate de potassium"),
                   QStringLiteral("Concentration : c = 0,000 2 mol \u00b7 L-1"),
                   QStringLiteral("\u00c9paisseur de la cuve : 1 cm"), kEnd, kEnd}},
        LinesCase{"UnknownThicknessCodeLeavesTheNumberOut",
                  curve(7, QStringLiteral("0,001"), QStringLiteral("7"), 480, 0),
                  false,
                  {QStringLiteral("\u2022 Courbe 1. Solution de diiode"),
                   QStringLiteral("Longueur d'onde : \u03bb = 480 nm"),
                   QStringLiteral("\u00c9paisseur de la cuve :  cm"), kEnd, kEnd}}),
    [](const testing::TestParamInfo<LinesCase> &info) { return std::string(info.param.name); });

TEST_F(Report, ConcentrationLineFormats)
{
    add(curve(10, QStringLiteral("0,001"), QStringLiteral("7"), 550, 2));
    write(true);
    const QTextBlock line = f.c.Rappo->document()->begin().next();
    ASSERT_TRUE(line.text().startsWith(QStringLiteral("Concentration")));
    const double indent = line.blockFormat().leftMargin();
    EXPECT_GE(indent, 5);  // about 2 mm: visibly indented,
    EXPECT_LE(indent, 12); // but only slightly
    EXPECT_EQ(line.next().blockFormat().leftMargin(), indent);

    const auto ps = pieces(line);
    const Piece *c = findPiece(ps, QStringLiteral("c = "));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->format.fontItalic());
    const Piece *value = findPiece(ps, QStringLiteral("0,001 mol \u00b7 L"));
    ASSERT_NE(value, nullptr);
    EXPECT_FALSE(value->format.fontItalic());
    EXPECT_EQ(value->format.verticalAlignment(), QTextCharFormat::AlignNormal);
    const Piece *exponent = findPiece(ps, QStringLiteral("-1"));
    ASSERT_NE(exponent, nullptr);
    EXPECT_EQ(exponent->text, QStringLiteral("-1"));
    EXPECT_EQ(exponent->format.verticalAlignment(), QTextCharFormat::AlignSuperScript);

    for (const Piece &p : ps) {
        EXPECT_EQ(p.format.font().family(), QStringLiteral("Arial"));
        EXPECT_DOUBLE_EQ(p.format.font().pointSizeF(), 8.25);
    }
    // The next line starts at the baseline again.
    for (const Piece &p : pieces(line.next()))
        EXPECT_EQ(p.format.verticalAlignment(), QTextCharFormat::AlignNormal);
}

TEST_F(Report, RewrittenReportFollowsTheGraphKindSelectedNow)
{
    add(curve(10, QStringLiteral("0,001"), QStringLiteral("7"), 550, 2));
    add(curve(8, QStringLiteral("0,000 5"), QStringLiteral("7"), 525, 2));
    write(true);
    EXPECT_TRUE(f.c.Rappo->toPlainText().contains(QStringLiteral("c = 0,000 5 mol")));
    write(false);
    const QString text = f.c.Rappo->toPlainText();
    EXPECT_FALSE(text.contains(QStringLiteral("Concentration")));
    EXPECT_TRUE(text.contains(QStringLiteral("\u03bb = 550 nm")));
    EXPECT_TRUE(text.contains(QStringLiteral("\u03bb = 525 nm")));
    EXPECT_EQ(text.count(QStringLiteral("Courbe ")), 2);
}

} // namespace
