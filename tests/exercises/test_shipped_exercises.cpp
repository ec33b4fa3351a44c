// The exercises shipped in data/: their files are complete and consistent with
// their JSON sources, and every reading they quote is the simulator's own.
#include "common/msgbox.h"
#include "common/numfmt.h"
#include "common/rtf.h"
#include "common/updown.h"
#include "config/folderlists.h"
#include "config/recordfile.h"
#include "exercises/fichexo.h"
#include "exercises/optionexo.h"
#include "mainwindow/feuillep.h"
#include "model/absorbance.h"
#include "model/catalogue.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <gtest/gtest.h>

// Readable failure messages.
void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
void PrintTo(const QStringList &l, std::ostream *os)
{
    *os << l.join(QStringLiteral(", ")).toStdString();
}

namespace
{

// Reading the RTF texts lays out fonts, and the exercises open in the real
// windows: a widget application.
class GuiEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_shipped_exercises";
        static char *argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
    }
    void TearDown() override { delete app; }

private:
    QApplication *app = nullptr;
};
const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

const QDir kData(QStringLiteral(SPECTRO_SOURCE_DATA_DIR));

struct Source {
    QString name; // JSON file name, for messages
    QJsonObject json;
    bool gettingStarted() const { return json[u"kind"].toString() == u"prise_en_main"; }
};

std::vector<Source> sources()
{
    std::vector<Source> out;
    const QDir src(kData.filePath(QStringLiteral("exercises/src")));
    for (const QString &name : src.entryList({QStringLiteral("*.json")}, QDir::Files)) {
        QFile f(src.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "cannot read " << name.toStdString();
            continue;
        }
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
        if (!doc.isObject()) {
            ADD_FAILURE() << name.toStdString() << ": " << error.errorString().toStdString();
            continue;
        }
        out.push_back({name, doc.object()});
    }
    return out;
}

QByteArray dataFile(const QString &name)
{
    QFile f(kData.filePath(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The records of a record file, which must all be readable.
QStringList records(const QString &name, int count)
{
    const QByteArray data = dataFile(name);
    QStringList out;
    for (int n = 1; n <= count; ++n) {
        QString text;
        EXPECT_EQ(recordfile::readRecord(data, n, &text), recordfile::ReadStatus::Ok)
            << name.toStdString() << " record " << n;
        out << text;
    }
    return out;
}

QString readout(int listIndex, const QString &conc, const QString &ph, int lambda, int cuvette)
{
    spectro::FloatSpectrum spectre{};
    spectro::chargespectre(spectro::numsolForIndex(listIndex), ph, conc, spectre);
    const auto r = spectro::computeAbsorbance(spectre, conc, lambda, cuvette);
    return r ? r->text : QStringLiteral("(illisible)");
}

std::string where(const Source &s, const QString &what)
{
    return (s.name + QStringLiteral(": ") + what).toStdString();
}

// An integer record as the program writes it: sign position then digits.
int signedRecord(const QString &text, const std::string &context)
{
    const int n = int(numfmt::val(text));
    EXPECT_EQ(text, (n < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(qAbs(n)))
        << context;
    return n;
}

void checkConfiguration(const Source &s, const QString &file, const QJsonObject &cfg)
{
    const std::string ctx = where(s, file);
    ASSERT_TRUE(kData.exists(file)) << ctx;
    EXPECT_EQ(dataFile(file).size(), 9 * recordfile::kRecordSize) << ctx;
    const QStringList r = records(file, 9);
    ASSERT_EQ(r.size(), 9);
    EXPECT_EQ(r[0], QStringLiteral("KELVANO")) << ctx;
    const bool concentrationGraph = cfg[u"graph"].toString() == u"concentration";
    const QString yes = QStringLiteral("1");
    const QString no = QStringLiteral("0");
    EXPECT_EQ(r[1], concentrationGraph ? no : yes) << ctx;
    EXPECT_EQ(r[2], concentrationGraph ? yes : no) << ctx;
    EXPECT_EQ(r[3], cfg[u"superpose"].toBool() ? yes : no) << ctx;

    const std::optional<double> ph = numfmt::readNumber(r[4]);
    ASSERT_TRUE(ph) << ctx;
    EXPECT_TRUE(*ph >= 1 && *ph <= 12) << ctx;
    const int lambda = signedRecord(r[5], ctx);
    const int cuvette = signedRecord(r[6], ctx);
    const int solution = signedRecord(r[7], ctx);
    EXPECT_TRUE(lambda >= 400 && lambda <= 800) << ctx;
    EXPECT_TRUE(cuvette >= 1 && cuvette <= 3) << ctx;
    EXPECT_TRUE(solution >= 0 && solution < spectro::kSolutionCount) << ctx;
    EXPECT_EQ(lambda, cfg[u"wavelength"].toInt()) << ctx;
    EXPECT_EQ(solution, cfg[u"solution"].toInt()) << ctx;
    // The concentration is what the box would hold after its own check.
    EXPECT_EQ(spectro::checkConcentration(r[8]), r[8]) << ctx;

    if (cfg.contains(u"readout")) {
        EXPECT_EQ(readout(solution, r[8], r[4], lambda, cuvette), cfg[u"readout"].toString())
            << ctx << " opens on another reading";
    }
}

// A bare file name of the data folder, or blank for none.
void checkNamedFile(const Source &s, const QString &name, const QString &expected)
{
    EXPECT_EQ(name, expected) << where(s, QStringLiteral("file name"));
    if (name.trimmed().isEmpty())
        return;
    EXPECT_FALSE(name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        << where(s, name);
    EXPECT_TRUE(kData.exists(name)) << where(s, name);
}

TEST(ShippedExercises, EveryDescriptionFileHasItsSource)
{
    QStringList fromSources;
    int exercises = 0;
    int gettingStarted = 0;
    for (const Source &s : sources()) {
        if (s.gettingStarted()) {
            ++gettingStarted;
        } else {
            ++exercises;
            fromSources << s.json[u"file"].toString() + QStringLiteral(".E35");
        }
    }
    EXPECT_GE(exercises, 8);
    EXPECT_EQ(gettingStarted, 1);
    QStringList shipped = kData.entryList({QStringLiteral("*.E35")}, QDir::Files);
    shipped.sort();
    fromSources.sort();
    EXPECT_EQ(shipped, fromSources);
}

TEST(ShippedExercises, DescriptionFiles)
{
    for (const Source &s : sources()) {
        if (s.gettingStarted())
            continue;
        const QString base = s.json[u"file"].toString();
        const QString file = base + QStringLiteral(".E35");
        ASSERT_TRUE(kData.exists(file)) << where(s, file);
        EXPECT_EQ(dataFile(file).size(), 11 * recordfile::kRecordSize) << where(s, file);
        const QStringList r = records(file, 11);
        const QJsonObject statement = s.json[u"statement"].toObject();
        const QJsonObject correction = s.json[u"correction"].toObject();
        const auto nameOf = [&](const QJsonObject &part, const char *key, const char *suffix) {
            return part.contains(QLatin1String(key)) ? base + QLatin1String(suffix) : QString();
        };
        checkNamedFile(s, r[0], base + QStringLiteral(".rtf"));
        checkNamedFile(s, r[1], nameOf(statement, "config", ".C12"));
        checkNamedFile(s, r[2], nameOf(correction, "text", "_corrige.rtf"));
        checkNamedFile(s, r[3], nameOf(correction, "config", "_corrige.C12"));

        const int difficulty = s.json[u"difficulty"].toInt(-1);
        EXPECT_TRUE(difficulty >= 0 && difficulty <= 3) << where(s, QStringLiteral("difficulty"));
        EXPECT_EQ(r[4], QString::number(difficulty)) << where(s, file);
        // The browser puts the non-blank pieces end to end.
        QString notions;
        for (int i = 6; i <= 9; ++i) {
            if (!r[i].trimmed().isEmpty())
                notions += r[i];
        }
        EXPECT_EQ(notions, s.json[u"notions"].toString()) << where(s, file);
        EXPECT_FALSE(notions.isEmpty()) << where(s, file);
        EXPECT_EQ(r[10], s.json[u"title"].toString()) << where(s, file);
        EXPECT_FALSE(r[10].trimmed().isEmpty()) << where(s, file);
    }
}

TEST(ShippedExercises, GettingStartedFile)
{
    EXPECT_EQ(dataFile(QStringLiteral("kelvano.PEM")).size(), 2 * recordfile::kRecordSize);
    const QStringList r = records(QStringLiteral("kelvano.PEM"), 2);
    for (const Source &s : sources()) {
        if (!s.gettingStarted())
            continue;
        const QString base = s.json[u"file"].toString();
        checkNamedFile(s, r[0], base + QStringLiteral(".rtf"));
        checkNamedFile(s, r[1], base + QStringLiteral(".C12"));
    }
}

TEST(ShippedExercises, Configurations)
{
    for (const Source &s : sources()) {
        const QString base = s.json[u"file"].toString();
        const QJsonObject statement = s.json[u"statement"].toObject();
        const QJsonObject correction = s.json[u"correction"].toObject();
        if (statement.contains(u"config"))
            checkConfiguration(s, base + QStringLiteral(".C12"), statement[u"config"].toObject());
        if (correction.contains(u"config")) {
            checkConfiguration(s, base + QStringLiteral("_corrige.C12"),
                               correction[u"config"].toObject());
        }
    }
}

// The readout of the main window as it stands: the absorbance of its own
// spectrum and settings, which majafficheur has shown.
QString windowReadout(FeuilleP &w)
{
    const auto r = spectro::computeAbsorbance(w.state.spectre, w.c.Text1->text(),
                                              w.c.HScroll1->value(), w.c.UpDown1->value());
    if (!r)
        return QStringLiteral("(illisible)");
    EXPECT_FLOAT_EQ(w.state.absorbance, r->absorbance) << "readout not refreshed";
    return r->text;
}

// Sets the controls as a pupil does: list, boxes confirmed, then the cuvette
// and the wavelength.
void setLikeAPupil(FeuilleP &w, const QJsonObject &a)
{
    w.c.Combo1->setCurrentIndex(a[u"solution"].toInt());
    w.c.Text2->setText(a[u"ph"].toString(QStringLiteral("7,0")));
    w.Text2_LostFocus();
    w.c.Text1->setText(a[u"concentration"].toString());
    w.Text1_LostFocus();
    w.c.UpDown1->setValue(a[u"cuvette"].toInt());
    w.c.HScroll1->setValue(a[u"wavelength"].toInt());
}

QString configReadout(const QJsonObject &part)
{
    return part[u"config"].toObject()[u"readout"].toString();
}

// Every shipped exercise opened in one main window, one after the other, as a
// class uses them: the statement and its configuration, the correction, then
// each reading the texts quote, set by hand. The whole round is made twice,
// the second time backwards, so that no reading depends on what came before.
TEST(ShippedExercises, QuotedReadingsThroughTheWindowsOneAfterAnother)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A copy, so that the main window's hand-off file stays out of data/.
    for (const QString &name : kData.entryList({QStringLiteral("*.E35"), QStringLiteral("*.rtf"),
                                                QStringLiteral("*.C12"), QStringLiteral("*.PEM")},
                                               QDir::Files))
        ASSERT_TRUE(QFile::copy(kData.filePath(name), dir.filePath(name)));
    qputenv("SPECTRO_DATA_DIR", dir.path().toUtf8());
    QStringList messages;
    msgbox::handler = [&messages](const msgbox::Call &c) {
        messages << c.title + QStringLiteral(": ") + c.text;
        return msgbox::Answer::Ok;
    };
    std::vector<Source> list = sources();
    int count = 0;
    {
        FeuilleP w;
        Optionexo menu(w);
        for (int round = 0; round < 2; ++round) {
            for (const Source &s : list) {
                const QString base = s.json[u"file"].toString();
                const QJsonObject statement = s.json[u"statement"].toObject();
                const QJsonObject correction = s.json[u"correction"].toObject();
                if (s.gettingStarted()) {
                    menu.priseEnMain();
                } else {
                    Fichexo fx(w, &w);
                    ASSERT_TRUE(fx.lists().setFolder(dir.path()));
                    fx.choisir(base + QStringLiteral(".E35"));
                    ASSERT_TRUE(fx.ouvrir()) << where(s, QStringLiteral("opening"));
                }
                if (statement.contains(u"config")) {
                    EXPECT_EQ(windowReadout(w), configReadout(statement))
                        << where(s, QStringLiteral("statement, round ") + QString::number(round));
                }
                menu.updateEnabled();
                const bool corrected =
                    correction.contains(u"text") || correction.contains(u"config");
                EXPECT_EQ(menu.opencor->isEnabled(), corrected) << where(s, QStringLiteral("menu"));
                if (corrected) {
                    menu.voirCorrection();
                    if (correction.contains(u"config")) {
                        EXPECT_EQ(windowReadout(w), configReadout(correction)) << where(
                            s, QStringLiteral("correction, round ") + QString::number(round));
                    }
                }
                for (const QJsonValue &v : s.json[u"answers"].toArray()) {
                    const QJsonObject a = v.toObject();
                    setLikeAPupil(w, a);
                    EXPECT_EQ(windowReadout(w), a[u"readout"].toString())
                        << where(s, a[u"id"].toString());
                    // Concentrations are quoted as the box would show them.
                    const QString conc = a[u"concentration"].toString();
                    EXPECT_EQ(w.c.Text1->text(), conc) << where(s, a[u"id"].toString());
                    ++count;
                }
            }
            std::reverse(list.begin(), list.end());
        }
    }
    msgbox::handler = nullptr;
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QStringLiteral("; ")).toStdString();
    EXPECT_GE(count, 80);
}

// The shipped texts were generated from the current sources: each starts with
// its title and shows every reading its source quotes.
TEST(ShippedExercises, TextsShowTheirReadings)
{
    static const QRegularExpression placeholder(QStringLiteral("\\{\\{(\\w+)(:A)?\\}\\}"));
    for (const Source &s : sources()) {
        QHash<QString, QString> readings;
        for (const QJsonValue &v : s.json[u"answers"].toArray())
            readings.insert(v[u"id"].toString(), v[u"readout"].toString());
        const QString base = s.json[u"file"].toString();
        const std::pair<const char16_t *, QString> parts[] = {
            {u"statement", base + QStringLiteral(".rtf")},
            {u"correction", base + QStringLiteral("_corrige.rtf")}};
        for (const auto &[key, file] : parts) {
            const QJsonArray lines = s.json[key].toObject()[u"text"].toArray();
            if (lines.isEmpty())
                continue;
            QTextDocument doc;
            ASSERT_TRUE(rtf::read(dataFile(file), &doc)) << where(s, file);
            const QString text = doc.toPlainText();
            EXPECT_FALSE(text.contains(QChar(0xFFFD))) << where(s, file);
            QString title = lines.first().toString();
            title.remove(QRegularExpression(QStringLiteral("^#+ ")));
            EXPECT_EQ(doc.begin().text(), title) << where(s, file);
            EXPECT_EQ(doc.blockCount(), lines.size()) << where(s, file);
            for (const QJsonValue &line : lines) {
                auto it = placeholder.globalMatch(line.toString());
                while (it.hasNext()) {
                    const QRegularExpressionMatch m = it.next();
                    ASSERT_TRUE(readings.contains(m.captured(1))) << where(s, m.captured(0));
                    QString quoted = readings.value(m.captured(1));
                    if (!m.captured(2).isEmpty())
                        quoted.remove(0, 4); // "A = "
                    EXPECT_TRUE(text.contains(quoted)) << where(s, file + u' ' + m.captured(0));
                }
            }
        }
    }
}

} // namespace
