#include "output/report.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace output
{

namespace
{

constexpr double kReportPoints = 8.25;
// Left margin of the lines under a curve's title, in pixels (about 2 mm).
constexpr double kIndent = 8;

// The three colour indicators in the solution list, the only ones with a pH line.
bool isIndicator(int listIndex)
{
    return listIndex == 0 || listIndex == 9 || listIndex == 12;
}

QFont reportFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(kReportPoints);
    return f;
}

// Appends pieces at the end of the document, each in the format in force.
class Writer
{
public:
    explicit Writer(QTextDocument *doc) : m_cursor(doc)
    {
        m_format.setFont(reportFont());
        m_format.setForeground(Qt::black);
        m_cursor.movePosition(QTextCursor::End);
    }

    QTextCharFormat &format() { return m_format; }

    void text(const QString &s) { m_cursor.insertText(s, m_format); }

    void indent(double margin)
    {
        QTextBlockFormat bf = m_cursor.blockFormat();
        bf.setLeftMargin(margin);
        m_cursor.setBlockFormat(bf);
    }

    // Ends the line: the next one is a new paragraph with the same indent.
    void newLine()
    {
        QTextCharFormat plain = m_format;
        plain.setVerticalAlignment(QTextCharFormat::AlignNormal);
        m_cursor.insertBlock(m_cursor.blockFormat(), plain);
    }

private:
    QTextCursor m_cursor;
    QTextCharFormat m_format;
};

} // namespace

void rapport(QTextEdit *rappo, const graph::CurveStore &store, const QStringList &names,
             bool wavelengthGraph)
{
    if (!rappo)
        return;
    rappo->setReadOnly(true);
    rappo->document()->setDefaultFont(reportFont());
    rappo->clear();
    rappo->setCurrentCharFormat(QTextCharFormat());

    const int last = std::min(store.dercourbe, graph::kSlots - 1);
    if (last < 0)
        return;

    Writer w(rappo->document());
    QTextCharFormat &fmt = w.format();
    for (int i = 0; i <= last; ++i) {
        const graph::CurveSettings &s = store.curves[i];

        fmt.setFontWeight(QFont::Bold);
        fmt.setForeground(graph::curveColour(i));
        w.indent(0);
        w.text(QStringLiteral("\u2022 "));
        w.text(QStringLiteral("Courbe ") + QString::number(i + 1) + QStringLiteral(". "));

        fmt.setFontWeight(QFont::Normal);
        fmt.setForeground(Qt::black);
        w.text(names.value(s.sol));
        w.newLine();

        w.indent(kIndent);
        if (wavelengthGraph) {
            w.text(QStringLiteral("Concentration : "));
            fmt.setFontItalic(true);
            w.text(QStringLiteral("c = "));
            fmt.setFontItalic(false);
            w.text(s.conc + QStringLiteral(" mol \u00b7 L"));
            fmt.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            w.text(QStringLiteral("-1"));
            fmt.setVerticalAlignment(QTextCharFormat::AlignNormal);
        } else {
            w.text(QStringLiteral("Longueur d'onde : "));
            w.text(QStringLiteral("\u03bb"));
            w.text(QStringLiteral(" = ") + QString::number(s.lambda) + QStringLiteral(" nm"));
        }
        w.newLine();

        if (isIndicator(s.sol)) {
            w.text(QStringLiteral("pH de la solution : ") + s.ph);
            w.newLine();
        }

        w.text(QStringLiteral("\u00c9paisseur de la cuve : ") + output::thicknessText(s.cuve) +
               QStringLiteral(" cm"));
        w.newLine();
        for (const QString &line : spectro::curveExtraLines(s.extra, s.conc)) {
            w.text(line);
            w.newLine();
        }
        w.newLine();
    }
}

QString thicknessText(int cuve)
{
    switch (cuve) {
    case 1:
        return QStringLiteral("0,5");
    case 2:
        return QStringLiteral("1");
    case 3:
        return QStringLiteral("1,5");
    default:
        return QString();
    }
}

} // namespace output
