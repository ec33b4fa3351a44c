// The program's own SVG writer, used for the graph's export where Qt SVG is
// not available.
#include "output/svgwriter.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QXmlStreamReader>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace
{

struct Element {
    QString name;
    std::map<QString, QString> attributes; // its own, then those of its group
    QString text;
};

QByteArray paint(const std::function<void(QPainter &)> &draw, QSize size = QSize(40, 30))
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    output::SvgWriter svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(96);
    svg.setTitle(QStringLiteral("Graphe"));
    svg.setDescription(QStringLiteral("Absorbance & longueur d'onde"));
    QPainter p(&svg);
    draw(p);
    EXPECT_TRUE(p.end());
    return buffer.data();
}

// The drawing elements of a document, with what their group says.
std::vector<Element> elements(const QByteArray &svg)
{
    std::vector<Element> found;
    std::map<QString, QString> group;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name == QLatin1String("svg") || name == QLatin1String("title") ||
            name == QLatin1String("desc"))
            continue;
        std::map<QString, QString> attributes;
        for (const QXmlStreamAttribute &a : xml.attributes())
            attributes[a.qualifiedName().toString()] = a.value().toString();
        if (name == QLatin1String("g")) {
            group = attributes;
            continue;
        }
        for (const auto &[key, value] : group)
            attributes.emplace(key, value);
        Element e{name, attributes, QString()};
        if (name == QLatin1String("text"))
            e.text = xml.readElementText();
        found.push_back(e);
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return found;
}

struct PrimitiveCase {
    const char *name;
    std::function<void(QPainter &)> draw;
    QString element;
    std::map<QString, QString> attributes;
    QString text;
};

class Primitive : public testing::TestWithParam<PrimitiveCase>
{
};

TEST_P(Primitive, BecomesOneElementWithItsPenAndBrush)
{
    const PrimitiveCase &tc = GetParam();
    const std::vector<Element> found = elements(paint(tc.draw));
    // A text may come in pieces, one per font that draws it.
    if (tc.text.isEmpty()) {
        ASSERT_EQ(found.size(), 1u);
    }
    ASSERT_FALSE(found.empty());
    QString text;
    for (const Element &e : found) {
        EXPECT_EQ(e.name, tc.element);
        text += e.text;
    }
    for (const auto &[key, value] : tc.attributes) {
        const auto it = found[0].attributes.find(key);
        ASSERT_NE(it, found[0].attributes.end()) << key.toStdString();
        EXPECT_EQ(it->second, value) << key.toStdString();
    }
    EXPECT_EQ(text, tc.text);
}

INSTANTIATE_TEST_SUITE_P(
    SvgWriter, Primitive,
    testing::Values(
        PrimitiveCase{"Line",
                      [](QPainter &p) {
                          p.setPen(QPen(QColor(255, 0, 0), 2));
                          p.drawLine(QLineF(1, 2, 3.5, 4));
                      },
                      QStringLiteral("line"),
                      {{QStringLiteral("x1"), QStringLiteral("1")},
                       {QStringLiteral("y1"), QStringLiteral("2")},
                       {QStringLiteral("x2"), QStringLiteral("3.5")},
                       {QStringLiteral("y2"), QStringLiteral("4")},
                       {QStringLiteral("stroke"), QStringLiteral("#ff0000")},
                       {QStringLiteral("stroke-width"), QStringLiteral("2")}},
                      QString()},
        PrimitiveCase{"FilledBox",
                      [](QPainter &p) { p.fillRect(QRectF(0, 0, 10, 5), QColor(0, 128, 0)); },
                      QStringLiteral("rect"),
                      {{QStringLiteral("width"), QStringLiteral("10")},
                       {QStringLiteral("height"), QStringLiteral("5")},
                       {QStringLiteral("fill"), QStringLiteral("#008000")},
                       {QStringLiteral("stroke"), QStringLiteral("none")}},
                      QString()},
        PrimitiveCase{"Curve",
                      [](QPainter &p) {
                          QPainterPath path;
                          path.moveTo(0, 0);
                          path.lineTo(5, 5);
                          path.lineTo(10, 2.25);
                          p.setPen(QPen(QColor(0, 0, 255), 1, Qt::SolidLine, Qt::RoundCap,
                                        Qt::RoundJoin));
                          p.drawPath(path);
                      },
                      QStringLiteral("path"),
                      {{QStringLiteral("d"), QStringLiteral("M0,0 L5,5 L10,2.25")},
                       {QStringLiteral("fill"), QStringLiteral("none")},
                       {QStringLiteral("stroke"), QStringLiteral("#0000ff")},
                       {QStringLiteral("stroke-linecap"), QStringLiteral("round")},
                       {QStringLiteral("stroke-linejoin"), QStringLiteral("round")}},
                      QString()},
        PrimitiveCase{"Polyline",
                      [](QPainter &p) {
                          const QPointF pts[] = {{0, 0}, {1, 1}, {2, 0}};
                          p.drawPolyline(pts, 3);
                      },
                      QStringLiteral("polyline"),
                      {{QStringLiteral("points"), QStringLiteral("0,0 1,1 2,0")},
                       {QStringLiteral("fill"), QStringLiteral("none")}},
                      QString()},
        PrimitiveCase{"Ellipse",
                      [](QPainter &p) { p.drawEllipse(QRectF(0, 0, 4, 2)); },
                      QStringLiteral("ellipse"),
                      {{QStringLiteral("cx"), QStringLiteral("2")},
                       {QStringLiteral("cy"), QStringLiteral("1")},
                       {QStringLiteral("rx"), QStringLiteral("2")},
                       {QStringLiteral("ry"), QStringLiteral("1")}},
                      QString()},
        // Markup characters stay text; the pen gives the colour, the font its size in pixels.
        PrimitiveCase{"Text",
                      [](QPainter &p) {
                          QFont f(QStringLiteral("Arial"));
                          f.setPointSizeF(7.5);
                          f.setItalic(true);
                          p.setFont(f);
                          p.setPen(QColor(128, 0, 0));
                          p.drawText(QPointF(5, 20), QStringLiteral("A < 3 & λ \"nm\""));
                      },
                      QStringLiteral("text"),
                      {{QStringLiteral("x"), QStringLiteral("5")},
                       {QStringLiteral("y"), QStringLiteral("20")},
                       {QStringLiteral("fill"), QStringLiteral("#800000")},
                       {QStringLiteral("font-family"), QStringLiteral("Arial")},
                       {QStringLiteral("font-size"), QStringLiteral("10")},
                       {QStringLiteral("font-style"), QStringLiteral("italic")}},
                      QStringLiteral("A < 3 & λ \"nm\"")},
        PrimitiveCase{"MovedDrawing",
                      [](QPainter &p) {
                          p.translate(0.5, 0.5);
                          p.drawLine(QLineF(0, 0, 1, 0));
                      },
                      QStringLiteral("line"),
                      {{QStringLiteral("transform"), QStringLiteral("matrix(1 0 0 1 0.5 0.5)")}},
                      QString()}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SvgWriter, DocumentHasTheSizeTitleAndDescription)
{
    const QByteArray svg = paint([](QPainter &p) { p.drawLine(0, 0, 1, 1); }, QSize(420, 360));
    QXmlStreamReader xml(svg);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QStringLiteral("svg"));
    EXPECT_EQ(xml.attributes().value(QStringLiteral("viewBox")), QStringLiteral("0 0 420 360"));
    EXPECT_EQ(xml.attributes().value(QStringLiteral("width")), QStringLiteral("420"));
    EXPECT_EQ(xml.attributes().value(QStringLiteral("height")), QStringLiteral("360"));
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QStringLiteral("title"));
    EXPECT_EQ(xml.readElementText(), QStringLiteral("Graphe"));
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QStringLiteral("desc"));
    EXPECT_EQ(xml.readElementText(), QStringLiteral("Absorbance & longueur d'onde"));
}

TEST(SvgWriter, PenChangesStartANewGroup)
{
    const std::vector<Element> found = elements(paint([](QPainter &p) {
        p.setPen(QColor(0, 0, 255));
        p.drawLine(0, 0, 1, 1);
        p.drawLine(1, 1, 2, 2);
        p.setPen(QColor(255, 0, 0));
        p.drawLine(2, 2, 3, 3);
    }));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].attributes.at(QStringLiteral("stroke")), QStringLiteral("#0000ff"));
    EXPECT_EQ(found[1].attributes.at(QStringLiteral("stroke")), QStringLiteral("#0000ff"));
    EXPECT_EQ(found[2].attributes.at(QStringLiteral("stroke")), QStringLiteral("#ff0000"));
}

TEST(SvgWriter, NothingPaintsWithoutAWritableDevice)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadOnly);
    output::SvgWriter svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(10, 10));
    QPainter p;
    EXPECT_FALSE(p.begin(&svg));
    output::SvgWriter none;
    none.setSize(QSize(10, 10));
    EXPECT_FALSE(p.begin(&none));
}

} // namespace
