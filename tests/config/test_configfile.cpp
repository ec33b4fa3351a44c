// The configuration writer and loader against a stand-in main window.
#include "config/configfile.h"
#include "support/fsfaults.h"
#include "test_config_feuille.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

const QString kSignatureText = QStringLiteral("Ce fichier ne correspond pas à cette application");
const QString kReadText = QStringLiteral("Lecture impossible sur disque");
const QString kWriteText = QStringLiteral("Ecriture impossible sur disque");

// One record as the format lays it out, built by hand so the writer is
// checked against the layout and not against itself.
QByteArray record(const QByteArray &text, bool filler = true)
{
    QByteArray r;
    r.append(char(text.size() & 0xFF));
    r.append(char(text.size() >> 8));
    r.append(text);
    if (filler)
        r.append(QByteArray(128 - r.size(), '\0'));
    return r;
}

QByteArray fileOf(const QList<QByteArray> &texts)
{
    QByteArray data;
    for (const QByteArray &t : texts)
        data += record(t);
    return data;
}

// A file whose values all differ from the stand-in's start values.
const QList<QByteArray> kGood = {"KELVANO", "0", "1", "1", "9,5", " 550", " 3", " 13", "2,5E-3"};
const Settings kGoodSettings{false, true, true, QStringLiteral("9,5"),
                             550,   3,    13,   QStringLiteral("2,5E-3")};

QList<QByteArray> goodWith(int n, const QByteArray &text)
{
    QList<QByteArray> texts = kGood;
    texts[n - 1] = text;
    return texts;
}

QString writeBytes(const QTemporaryDir &dir, const QByteArray &data)
{
    const QString path = dir.filePath(QStringLiteral("fichier.C12"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return QString();
    return path;
}

QByteArray readAllBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// ---------------------------------------------------------------- writing

struct WriteCase {
    const char *name;
    Settings settings;
    QList<QByteArray> texts;
};

void PrintTo(const WriteCase &c, std::ostream *os)
{
    *os << c.name;
}

class ConfigWrite : public ::testing::TestWithParam<WriteCase>
{
};

TEST_P(ConfigWrite, WritesTheRecordTableThenLoadsBackIntoAFreshWindow)
{
    const WriteCase &tc = GetParam();
    QTemporaryDir dir;
    MessageRecorder messages;
    FakeFeuille saved;
    saved.apply(tc.settings);
    saved.nomfichier = dir.filePath(QStringLiteral("essai.C12"));
    ASSERT_TRUE(ecrireConfig(saved));
    EXPECT_EQ(saved.captions,
              QStringList{"Spectrophotométrie - " + QDir::toNativeSeparators(saved.nomfichier)});

    const QByteArray bytes = readAllBytes(saved.nomfichier);
    EXPECT_EQ(bytes.size(), 1152);
    EXPECT_EQ(bytes, fileOf(tc.texts));

    FakeFeuille loaded;
    loaded.nomfichier = saved.nomfichier;
    ASSERT_TRUE(chargeconfig(loaded));
    EXPECT_EQ(loaded.settings(), tc.settings);
    EXPECT_EQ(loaded.events, (QStringList{"majafficheur", "Command3_Click", "setCaption"}));
    EXPECT_EQ(loaded.captions, saved.captions);
    EXPECT_TRUE(messages.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ConfigWrite,
    ::testing::Values(
        WriteCase{"SecondKindExponentConcentration", kGoodSettings, kGood},
        WriteCase{"NoSolutionLowEnd",
                  {true, false, false, QString(), 400, 1, -1, QStringLiteral("0")},
                  {"KELVANO", "1", "0", "0", "", " 400", " 1", "-1", "0"}},
        WriteCase{"HighEndAccents",
                  {true, false, true, QStringLiteral("7,0 é"), 800, 2, 0, QStringLiteral("0,001")},
                  {"KELVANO", "1", "0", "1", "7,0 \xE9", " 800", " 2", " 0", "0,001"}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ConfigWriteOver, ALongerFileIsReplacedByExactlyNineRecords)
{
    QTemporaryDir dir;
    FakeFeuille f;
    f.nomfichier = writeBytes(dir, QByteArray(5000, 'x'));
    ASSERT_TRUE(ecrireConfig(f));
    EXPECT_EQ(readAllBytes(f.nomfichier),
              fileOf({"KELVANO", "1", "0", "0", "7,0", " 589", " 2", " 0", "0,001"}));
}

struct WriteFailure {
    const char *name;
    // Returns the target path, having set up the window and the folder.
    std::function<QString(const QTemporaryDir &, FakeFeuille &)> prepare;
};

void PrintTo(const WriteFailure &c, std::ostream *os)
{
    *os << c.name;
}

class ConfigWriteFailure : public ::testing::TestWithParam<WriteFailure>
{
};

TEST_P(ConfigWriteFailure, ReportsWithTheNormalPointerAndLeavesTheOldFileIntact)
{
    QTemporaryDir dir;
    FakeFeuille f;
    f.nomfichier = GetParam().prepare(dir, f);
    const bool existed = QFileInfo::exists(f.nomfichier);
    const QByteArray before = readAllBytes(f.nomfichier);
    const QStringList listing = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);

    std::vector<bool> hourglassDuringMessage;
    msgbox::handler = [&](const msgbox::Call &call) {
        EXPECT_EQ(call.text, kWriteText);
        EXPECT_EQ(call.title, QStringLiteral("Enregistrement impossible"));
        EXPECT_EQ(call.icon, msgbox::Icon::Error);
        hourglassDuringMessage.push_back(QApplication::overrideCursor() != nullptr);
        return msgbox::Answer::Ok;
    };
    EXPECT_FALSE(ecrireConfig(f));
    msgbox::handler = nullptr;

    EXPECT_EQ(hourglassDuringMessage, std::vector<bool>{false});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(f.captions.isEmpty());
    EXPECT_EQ(QFileInfo::exists(f.nomfichier), existed);
    EXPECT_EQ(readAllBytes(f.nomfichier), before);
    // No temporary file left behind either.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), listing);
}

namespace
{

QString existingConfig(const QTemporaryDir &dir)
{
    return writeBytes(dir, fileOf(kGood));
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigWriteFailure,
    ::testing::Values(WriteFailure{"FolderMissing",
                                   [](const QTemporaryDir &dir, FakeFeuille &) {
                                       return dir.filePath(QStringLiteral("absent/essai.C12"));
                                   }},
                      WriteFailure{"FolderIsAFile",
                                   [](const QTemporaryDir &dir, FakeFeuille &) {
                                       return existingConfig(dir) + QStringLiteral("/essai.C12");
                                   }},
                      WriteFailure{"TargetIsAFolder",
                                   [](const QTemporaryDir &dir, FakeFeuille &) {
                                       QDir(dir.path()).mkdir(QStringLiteral("dossier.C12"));
                                       return dir.filePath(QStringLiteral("dossier.C12"));
                                   }},
                      WriteFailure{"ConcentrationTooLong",
                                   [](const QTemporaryDir &dir, FakeFeuille &f) {
                                       f.c.Text1->setText(QString(127, QLatin1Char('1')));
                                       return existingConfig(dir);
                                   }},
                      WriteFailure{"PhOutsideTheCodePage",
                                   [](const QTemporaryDir &dir, FakeFeuille &f) {
                                       f.c.Text2->setText(QStringLiteral("λ"));
                                       return existingConfig(dir);
                                   }}),
    [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- loading

struct LoadCase {
    const char *name;
    // Writes the file to load and returns its path; empty to skip the case.
    std::function<QString(const QTemporaryDir &)> make;
    QString message; // empty when the load succeeds
    Settings expected;
};

void PrintTo(const LoadCase &c, std::ostream *os)
{
    *os << c.name;
}

class ConfigLoad : public ::testing::TestWithParam<LoadCase>
{
};

TEST_P(ConfigLoad, AppliesWhatTheFileAllowsAndReportsTheRest)
{
    const LoadCase &tc = GetParam();
    QTemporaryDir dir;
    FakeFeuille f;
    f.nomfichier = tc.make(dir);
    if (f.nomfichier.isEmpty())
        GTEST_SKIP() << "not reproducible here";
    MessageRecorder messages;
    const bool ok = chargeconfig(f);

    EXPECT_EQ(f.settings(), tc.expected);
    if (tc.message.isEmpty()) {
        EXPECT_TRUE(ok);
        EXPECT_TRUE(messages.calls.empty()) << messages.texts().join('|').toStdString();
        EXPECT_EQ(f.events, (QStringList{"majafficheur", "Command3_Click", "setCaption"}));
        EXPECT_EQ(f.captions,
                  QStringList{"Spectrophotométrie - " + QDir::toNativeSeparators(f.nomfichier)});
        return;
    }
    EXPECT_FALSE(ok);
    ASSERT_EQ(messages.calls.size(), 1u);
    const msgbox::Call &call = messages.calls.front();
    EXPECT_EQ(call.text, tc.message);
    EXPECT_EQ(call.title, tc.message == kReadText
                              ? QStringLiteral("Erreur lors du chargement du fichier")
                              : QStringLiteral("Fichier non valide"));
    EXPECT_EQ(call.icon, msgbox::Icon::Error);
    EXPECT_EQ(call.buttons, msgbox::Buttons::Ok);
    EXPECT_TRUE(f.events.isEmpty()) << f.events.join(' ').toStdString();
}

namespace
{

using Make = std::function<QString(const QTemporaryDir &)>;

Make bytes(const QByteArray &data)
{
    return [data](const QTemporaryDir &dir) { return writeBytes(dir, data); };
}

Make records(const QList<QByteArray> &texts)
{
    return bytes(fileOf(texts));
}

const Settings kStart;

// The good file's settings applied up to and including record n.
Settings appliedThrough(int n)
{
    Settings s = kStart;
    if (n >= 2)
        s.option0 = false;
    if (n >= 3)
        s.option1 = true;
    if (n >= 4)
        s.check = true;
    if (n >= 5)
        s.ph = kGoodSettings.ph;
    if (n >= 6)
        s.lambda = kGoodSettings.lambda;
    if (n >= 7)
        s.thickness = kGoodSettings.thickness;
    if (n >= 8)
        s.solution = kGoodSettings.solution;
    return s;
}

Settings good(std::function<void(Settings &)> change)
{
    Settings s = kGoodSettings;
    change(s);
    return s;
}

QByteArray withLength(QByteArray data, int n, int length)
{
    data[(n - 1) * 128] = char(length & 0xFF);
    data[(n - 1) * 128 + 1] = char(length >> 8);
    return data;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Files, ConfigLoad,
    ::testing::Values(
        LoadCase{"Good", records(kGood), {}, kGoodSettings},
        LoadCase{"NoFillerAfterLastText",
                 bytes(fileOf(kGood).left(8 * 128 + 2 + 6)), {}, kGoodSettings},
        LoadCase{"EndsAfterRecord8", bytes(fileOf(kGood).left(8 * 128)), {},
                 good([](Settings &s) { s.concentration.clear(); })},
        LoadCase{"OnlyTheSignature", records({"KELVANO"}), kReadText,
                 {false, false, false, QString(), 589, 2, 0, QStringLiteral("0,001")}},
        LoadCase{"Empty", bytes({}), kSignatureText, kStart},
        LoadCase{"OtherSignature", records(goodWith(1, "AAAAAAA")), kSignatureText, kStart},
        LoadCase{"LowerCaseSignature", records(goodWith(1, "kelvano")), kSignatureText, kStart},
        LoadCase{"SignatureWithBlank", records(goodWith(1, "KELVANO ")), kSignatureText, kStart},
        LoadCase{"ShorterThanARecord", bytes(QByteArray("\x07\x00KELV", 6)), kReadText, kStart},
        LoadCase{"OneByte", bytes(QByteArray("\x07", 1)), kReadText, kStart},
        LoadCase{"Length127InRecord1", bytes(withLength(fileOf(kGood), 1, 127)), kReadText,
                 kStart},
        LoadCase{"LengthHugeInRecord7", bytes(withLength(fileOf(kGood), 7, 0xFFFF)), kReadText,
                 appliedThrough(6)},
        LoadCase{"LastTextCut", bytes(fileOf(kGood).left(8 * 128 + 2 + 3)), kReadText,
                 appliedThrough(8)},
        LoadCase{"LastLengthCut", bytes(fileOf(kGood).left(8 * 128 + 1)), kReadText,
                 appliedThrough(8)},
        LoadCase{"Wavelength9999", records(goodWith(6, " 9999")), kReadText, appliedThrough(5)},
        LoadCase{"Wavelength399", records(goodWith(6, " 399")), kReadText, appliedThrough(5)},
        LoadCase{"WavelengthNotANumber", records(goodWith(6, "abc")), kReadText,
                 appliedThrough(5)},
        LoadCase{"WavelengthHuge", records(goodWith(6, "1E300")), kReadText, appliedThrough(5)},
        LoadCase{"Thickness7", records(goodWith(7, " 7")), kReadText, appliedThrough(6)},
        LoadCase{"Thickness0", records(goodWith(7, " 0")), kReadText, appliedThrough(6)},
        LoadCase{"Solution20", records(goodWith(8, " 20")), kReadText, appliedThrough(7)},
        LoadCase{"Solution14", records(goodWith(8, " 14")), kReadText, appliedThrough(7)},
        LoadCase{"SolutionMinus2", records(goodWith(8, "-2")), kReadText, appliedThrough(7)},
        LoadCase{"SolutionNone", records(goodWith(8, "-1")), {},
                 good([](Settings &s) { s.solution = -1; })},
        LoadCase{"PhNotANumber", records(goodWith(5, "abc")), {},
                 good([](Settings &s) { s.ph = QStringLiteral("abc"); })},
        // Numbers read as BASIC Val, then rounded halves to even.
        LoadCase{"NumbersRoundedDown",
                 records({"KELVANO", "0", "1", "1", "9,5", "  550.5", "2.5", "13abc", "2,5E-3"}),
                 {}, good([](Settings &s) { s.thickness = 2; })},
        LoadCase{"NumbersRoundedUp",
                 records({"KELVANO", "0", "1", "1", "9,5", "549.5", " 2.6", "1.3E1", "2,5E-3"}),
                 {}, kGoodSettings},
        LoadCase{"RandomBytes",
                 [](const QTemporaryDir &dir) {
                     QByteArray data(4096, '\0');
                     QRandomGenerator gen(20240611);
                     for (char &b : data)
                         b = char(gen.bounded(256));
                     data[0] = char(0xD3); // a length of 0x..D3 > 126
                     return writeBytes(dir, data);
                 },
                 kReadText, kStart},
        LoadCase{"RandomAfterSignature",
                 [](const QTemporaryDir &dir) {
                     QByteArray data = record("KELVANO");
                     QRandomGenerator gen(7);
                     for (int i = 0; i < 4096; ++i)
                         data.append(char(gen.bounded(256)));
                     data[128] = char(0xFF);
                     return writeBytes(dir, data);
                 },
                 kReadText, kStart},
        // Only the nine records are read: a whole-file read would not fit.
        LoadCase{"HugeSparseFile",
                 [](const QTemporaryDir &dir) {
                     const QString path = writeBytes(dir, fileOf(kGood));
                     QFile f(path);
                     return f.resize(qint64(6) << 30) ? path : QString();
                 },
                 {}, kGoodSettings},
        LoadCase{"Folder", [](const QTemporaryDir &dir) { return dir.path(); }, kReadText, kStart},
        LoadCase{"Missing",
                 [](const QTemporaryDir &dir) { return dir.filePath(QStringLiteral("x.C12")); },
                 kReadText, kStart},
        // A pipe would block on opening.
        LoadCase{"Fifo",
                 [](const QTemporaryDir &dir) {
                     const QString path = dir.filePath(QStringLiteral("pipe.C12"));
                     return fsfaults::makeFifo(path) ? path : QString();
                 },
                 kReadText, kStart},
        // Permissions do not stop root from reading.
        LoadCase{"Unreadable",
                 [](const QTemporaryDir &dir) {
                     const QString path = writeBytes(dir, fileOf(kGood));
                     return fsfaults::makeUnreadable(path) ? path : QString();
                 },
                 kReadText, kStart}),
    [](const auto &info) { return std::string(info.param.name); });

// ------------------------------------------------------- selection records

struct SelectionCase {
    QByteArray option0, option1, check;
    bool expect0, expect1, expectCheck;
};

void PrintTo(const SelectionCase &c, std::ostream *os)
{
    *os << '"' << c.option0.toStdString() << "\" \"" << c.option1.toStdString() << "\" \""
        << c.check.toStdString() << '"';
}

class ConfigSelection : public ::testing::TestWithParam<SelectionCase>
{
};

// Only the exact text "1" selects; anything else deselects, even the button
// that was selected, so that neither graph kind may be left selected, whether
// the buttons are exclusive by themselves or through a group.
TEST_P(ConfigSelection, OnlyTheExactTextOneSelects)
{
    const SelectionCase &tc = GetParam();
    for (const bool grouped : {false, true}) {
        QTemporaryDir dir;
        FakeFeuille f;
        QButtonGroup group;
        if (grouped) {
            group.addButton(f.c.Option1[0]);
            group.addButton(f.c.Option1[1]);
        }
        f.c.Check1->setChecked(grouped);
        f.nomfichier = writeBytes(dir, fileOf({"KELVANO", tc.option0, tc.option1, tc.check, "7,0",
                                               " 589", " 2", " 0", "0,001"}));
        MessageRecorder messages;
        ASSERT_TRUE(chargeconfig(f));
        EXPECT_EQ(f.c.Option1[0]->isChecked(), tc.expect0);
        EXPECT_EQ(f.c.Option1[1]->isChecked(), tc.expect1);
        EXPECT_EQ(f.c.Check1->isChecked(), tc.expectCheck);
        // Exclusivity comes back: selecting one button still clears the other.
        f.c.Option1[0]->setChecked(true);
        f.c.Option1[1]->setChecked(true);
        EXPECT_FALSE(f.c.Option1[0]->isChecked());
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ConfigSelection,
                         ::testing::Values(SelectionCase{"1", "0", "1", true, false, true},
                                           SelectionCase{"0", "1", "0", false, true, false},
                                           SelectionCase{"0", "0", "", false, false, false},
                                           SelectionCase{"", "", "-1", false, false, false},
                                           SelectionCase{"-1", "0", " 1", false, false, false},
                                           SelectionCase{" 1", "0", "1 ", false, false, false},
                                           SelectionCase{"1", "1", "01", false, true, false}));

TEST(ConfigLoadOrder, ControlsChangeInFileOrderThenRefreshClearAndTitle)
{
    QTemporaryDir dir;
    FakeFeuille f;
    f.nomfichier = writeBytes(dir, fileOf(kGood));
    QStringList &log = f.events;
    const Controls &c = f.c;
    QObject::connect(c.Option1[0], &QRadioButton::toggled, [&] { log << "Option1(0)"; });
    QObject::connect(c.Option1[1], &QRadioButton::toggled, [&] { log << "Option1(1)"; });
    QObject::connect(c.Check1, &QCheckBox::toggled, [&] { log << "Check1"; });
    QObject::connect(c.Text2, &QLineEdit::textChanged, [&] { log << "Text2"; });
    QObject::connect(c.HScroll1, &QScrollBar::valueChanged, [&] { log << "HScroll1"; });
    QObject::connect(c.UpDown1, &UpDown::valueChanged, [&] { log << "UpDown1"; });
    QObject::connect(c.Combo1, &QComboBox::currentIndexChanged, [&] { log << "Combo1"; });
    QObject::connect(c.Text1, &QLineEdit::textChanged, [&] { log << "Text1"; });
    MessageRecorder messages;
    ASSERT_TRUE(chargeconfig(f));
    EXPECT_EQ(log,
              (QStringList{"Option1(0)", "Option1(1)", "Check1", "Text2", "HScroll1", "UpDown1",
                           "Combo1", "Text1", "majafficheur", "Command3_Click", "setCaption"}));
}
