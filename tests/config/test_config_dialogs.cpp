// The save and open dialogs, driven through their own controls.
#include "config/configfile.h"
#include "config/enregistrer.h"
#include "config/folderlists.h"
#include "config/ouvrir.h"
#include "support/fsfaults.h"
#include "test_config_feuille.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace
{

const QString kNoName = QStringLiteral("Il faut donner un nom au fichier!");
const QString kOverwrite = QStringLiteral("Ecraser le fichier existant?");

QByteArray readAllBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

template <typename T> T *child(QWidget *parent, const char *name)
{
    T *w = parent->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QStringList itemTexts(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QTreeWidgetItem *treeItem(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> found =
        tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

// Every file under a folder, to show that nothing was written.
QStringList filesUnder(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

} // namespace

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureApplication();
        ASSERT_TRUE(m_dir.isValid());
        root = QDir(m_dir.path()).canonicalPath();
        previous = QDir::currentPath();
        QDir(root).mkdir(QStringLiteral("sub"));
        QDir::setCurrent(root);
    }
    void TearDown() override
    {
        msgbox::handler = nullptr;
        QDir::setCurrent(previous);
    }
    QString at(const QString &relative) const { return root + QLatin1Char('/') + relative; }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/cfgdialogs-XXXXXX")};
    QString root;
    QString previous;
    FakeFeuille f;
};

// ------------------------------------------------------------ save dialog

struct NameCase {
    const char *name;
    QString typed;   // %1 stands for the test folder
    QString savedAs; // nomfichier afterwards; empty when the name is refused
};

void PrintTo(const NameCase &c, std::ostream *os)
{
    *os << c.name;
}

class SaveName : public DialogTest, public ::testing::WithParamInterface<NameCase>
{
};

TEST_P(SaveName, CompletesTheNameOrRefusesIt)
{
    const NameCase &tc = GetParam();
    f.nomfichier = QStringLiteral("avant");
    Enregistrer d(f, f.window());
    d.show();
    child<QLineEdit>(&d, "Text1")->setText(tc.typed.arg(root));
    const QStringList before = filesUnder(root);
    std::vector<bool> hourglass;
    MessageRecorder messages;
    msgbox::handler = [&](const msgbox::Call &call) {
        messages.calls.push_back(call);
        hourglass.push_back(QApplication::overrideCursor() != nullptr);
        return msgbox::Answer::Ok;
    };
    child<QPushButton>(&d, "Command1")->click();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    if (tc.savedAs.isEmpty()) {
        ASSERT_EQ(messages.texts(), QStringList{kNoName});
        EXPECT_EQ(messages.calls[0].title, QStringLiteral("Enregistrement impossible"));
        EXPECT_EQ(messages.calls[0].icon, msgbox::Icon::Error);
        EXPECT_EQ(hourglass, std::vector<bool>{false});
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(f.nomfichier, QStringLiteral("avant"));
        EXPECT_EQ(filesUnder(root), before);
        EXPECT_TRUE(f.captions.isEmpty());
        return;
    }
    const QString expected = tc.savedAs.arg(root);
    EXPECT_TRUE(messages.calls.empty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(f.nomfichier, expected);
    EXPECT_EQ(child<QLineEdit>(&d, "Text1")->text(), expected);
    EXPECT_EQ(QFileInfo(expected).size(), 1152);
    EXPECT_EQ(f.captions,
              QStringList{"Spectrophotométrie - " + QDir::toNativeSeparators(expected)});
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(QDir::currentPath(), root);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SaveName,
    ::testing::Values(
        NameCase{"OtherExtension", QStringLiteral("essai.txt"), QStringLiteral("%1/essai.C12")},
        NameCase{"SeveralDots", QStringLiteral("a.b.c"), QStringLiteral("%1/a.C12")},
        NameCase{"Blanks", QStringLiteral("  essai  "), QStringLiteral("%1/essai.C12")},
        NameCase{"BlankBeforeDot", QStringLiteral("essai .C12"), QStringLiteral("%1/essai.C12")},
        NameCase{"FullPath", QStringLiteral("%1/sub/essai.txt"),
                 QStringLiteral("%1/sub/essai.C12")},
        NameCase{"RelativePath", QStringLiteral("sub/essai"), QStringLiteral("sub/essai.C12")},
        // A dot in a folder name of a typed path cuts there too.
        NameCase{"DotInFolder", QStringLiteral("%1/dossier.x/essai"),
                 QStringLiteral("%1/dossier.C12")},
        NameCase{"OnlyExtension", QStringLiteral(".C12"), {}},
        NameCase{"OnlyBlanks", QStringLiteral("   "), {}}, NameCase{"Empty", QString(), {}},
        NameCase{"EmptyOnceCut", QStringLiteral(". .x"), {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(DialogTest, SavingAgainAsksBeforeOverwritingAndNonWritesNothing)
{
    {
        Enregistrer first(f, f.window());
        first.show();
        child<QLineEdit>(&first, "Text1")->setText(QStringLiteral("essai"));
        MessageRecorder none;
        ASSERT_TRUE(first.enregistrer());
        ASSERT_TRUE(none.calls.empty());
    }
    const QString path = at(QStringLiteral("essai.C12"));
    const QByteArray firstBytes = readAllBytes(path);
    f.c.HScroll1->setValue(700);

    Enregistrer again(f, f.window());
    again.show();
    QLineEdit *name = child<QLineEdit>(&again, "Text1");
    EXPECT_EQ(name->text(), path);
    {
        MessageRecorder no(msgbox::Answer::No);
        child<QPushButton>(&again, "Command1")->click();
        ASSERT_EQ(no.texts(), QStringList{kOverwrite});
        EXPECT_EQ(no.calls[0].title, QStringLiteral("Ce fichier existe déjà!"));
        EXPECT_EQ(no.calls[0].icon, msgbox::Icon::Warning);
        EXPECT_EQ(no.calls[0].buttons, msgbox::Buttons::YesNo);
    }
    EXPECT_EQ(readAllBytes(path), firstBytes);
    EXPECT_TRUE(again.isVisible());
    EXPECT_EQ(name->text(), path);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        MessageRecorder yes(msgbox::Answer::Yes);
        child<QPushButton>(&again, "Command1")->click();
        EXPECT_EQ(yes.texts(), QStringList{kOverwrite});
    }
    EXPECT_EQ(readAllBytes(path).mid(5 * 128, 6), QByteArray("\x04\x00 700", 6));
    EXPECT_FALSE(again.isVisible());
}

TEST_F(DialogTest, ANewFolderKeepsOnlyTheBareNameAndSavesThere)
{
    QDir(root).mkdir(QStringLiteral("b"));
    f.nomfichier = at(QStringLiteral("sub/essai.C12"));
    Enregistrer d(f, f.window());
    d.show();
    QLineEdit *name = child<QLineEdit>(&d, "Text1");
    ASSERT_EQ(name->text(), f.nomfichier);

    // Enter in the tree opens the highlighted folder.
    QTreeWidget *tree = child<QTreeWidget>(&d, "Dir1");
    QTreeWidgetItem *b = treeItem(tree, QStringLiteral("b"));
    ASSERT_NE(b, nullptr);
    tree->setCurrentItem(b);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(d.lists().folder(), at(QStringLiteral("b")));
    EXPECT_EQ(name->text(), QStringLiteral("essai.C12"));

    MessageRecorder messages;
    child<QPushButton>(&d, "Command1")->click();
    EXPECT_TRUE(messages.calls.empty());
    EXPECT_EQ(f.nomfichier, at(QStringLiteral("b/essai.C12")));
    EXPECT_EQ(QFileInfo(f.nomfichier).size(), 1152);
    EXPECT_EQ(QDir::currentPath(), at(QStringLiteral("b")));
}

TEST_F(DialogTest, DoubleClickingAFileSavesUnderItsNameAndASingleClickDoesNot)
{
    ASSERT_TRUE(writeBytes(at(QStringLiteral("x.C12")), "old"));
    Enregistrer d(f, f.window());
    d.show();
    QListWidget *files = child<QListWidget>(&d, "File1");
    ASSERT_EQ(itemTexts(files), QStringList{"x.C12"});
    QLineEdit *name = child<QLineEdit>(&d, "Text1");
    name->setText(QStringLiteral("autre"));
    const QRect rect = files->visualItemRect(files->item(0));
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(name->text(), QStringLiteral("autre"));

    MessageRecorder yes(msgbox::Answer::Yes);
    QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(yes.texts(), QStringList{kOverwrite});
    EXPECT_EQ(f.nomfichier, at(QStringLiteral("x.C12")));
    EXPECT_EQ(readAllBytes(f.nomfichier).left(9), QByteArray("\x07\x00KELVANO", 9));
    EXPECT_FALSE(d.isVisible());
}

// The list shows "low.c12" for the pattern "*.C12": saving under that name
// is overwriting that file, with the question, not writing a "low.C12" beside it.
TEST_F(DialogTest, AFileWhoseNameDiffersInCaseIsTheOneOverwritten)
{
    const QString lower = at(QStringLiteral("low.c12"));
    ASSERT_TRUE(writeBytes(lower, "old"));
    // Windows's file systems take "LOW.C12" for "low.c12": the name the
    // program keeps may then be either.
    const bool caseMatters = !QFileInfo::exists(at(QStringLiteral("LOW.C12")));
    const auto sameFile = [caseMatters](const QString &a, const QString &b) {
        return a.compare(b, caseMatters ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
    };
    for (const msgbox::Answer answer : {msgbox::Answer::No, msgbox::Answer::Yes}) {
        Enregistrer d(f, f.window());
        d.show();
        QListWidget *files = child<QListWidget>(&d, "File1");
        ASSERT_EQ(itemTexts(files), QStringList{"low.c12"});
        MessageRecorder messages(answer);
        const QRect rect = files->visualItemRect(files->item(0));
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, rect.center());
        EXPECT_EQ(messages.texts(), QStringList{kOverwrite});
        EXPECT_EQ(QDir(root).entryList(QDir::Files), QStringList{"low.c12"});
        if (answer == msgbox::Answer::No) {
            EXPECT_EQ(readAllBytes(lower), QByteArray("old"));
            EXPECT_TRUE(d.isVisible());
        } else {
            EXPECT_EQ(readAllBytes(lower).left(9), QByteArray("\x07\x00KELVANO", 9));
            EXPECT_TRUE(sameFile(f.nomfichier, lower)) << f.nomfichier.toStdString();
            EXPECT_FALSE(d.isVisible());
        }
    }
    // A typed name in other letters finds it too; an exact name is kept.
    ASSERT_TRUE(writeBytes(at(QStringLiteral("Exact.C12")), "old"));
    if (caseMatters) {
        ASSERT_TRUE(writeBytes(at(QStringLiteral("EXACT.c12")), "old"));
    }
    for (const auto &[typed, written] :
         {std::pair{"LOW", "low.c12"}, std::pair{"Exact", "Exact.C12"}}) {
        Enregistrer d(f, f.window());
        d.show();
        child<QLineEdit>(&d, "Text1")->setText(QString::fromLatin1(typed));
        MessageRecorder yes(msgbox::Answer::Yes);
        child<QPushButton>(&d, "Command1")->click();
        EXPECT_EQ(yes.texts(), QStringList{kOverwrite}) << typed;
        EXPECT_TRUE(sameFile(f.nomfichier, at(QString::fromLatin1(written))))
            << f.nomfichier.toStdString();
    }
    if (caseMatters) {
        EXPECT_EQ(readAllBytes(at(QStringLiteral("EXACT.c12"))), QByteArray("old"));
        EXPECT_FALSE(QFileInfo::exists(at(QStringLiteral("LOW.C12"))));
    }
    EXPECT_EQ(QDir(root).entryList(QDir::Files).size(), caseMatters ? 3 : 2);
}

TEST_F(DialogTest, EnterInTheNameSavesOnce)
{
    Enregistrer d(f, f.window());
    d.show();
    QLineEdit *name = child<QLineEdit>(&d, "Text1");
    name->setText(QStringLiteral("essai"));
    MessageRecorder messages; // a second save would ask to overwrite
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_TRUE(messages.calls.empty()) << messages.texts().join('|').toStdString();
    EXPECT_EQ(f.captions.size(), 1);
    EXPECT_EQ(QFileInfo(at(QStringLiteral("essai.C12"))).size(), 1152);
}

TEST_F(DialogTest, CancelLeavesEverything)
{
    f.nomfichier = QStringLiteral("avant");
    Enregistrer d(f, f.window());
    d.show();
    child<QLineEdit>(&d, "Text1")->setText(QStringLiteral("essai"));
    child<QPushButton>(&d, "Command2")->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(f.nomfichier, QStringLiteral("avant"));
    EXPECT_TRUE(filesUnder(root).isEmpty());
    EXPECT_TRUE(f.captions.isEmpty());
}

TEST_F(DialogTest, AFailedWriteKeepsTheDialogOpenAndTheEarlierFile)
{
    Enregistrer first(f, f.window());
    first.show();
    child<QLineEdit>(&first, "Text1")->setText(QStringLiteral("essai"));
    ASSERT_TRUE(first.enregistrer());
    const QString path = at(QStringLiteral("essai.C12"));
    const QByteArray earlier = readAllBytes(path);
    f.captions.clear();

    struct Attempt {
        QString typed;
        QStringList messages;
    };
    const Attempt attempts[] = {
        // A text the format cannot hold, over the earlier file.
        {QStringLiteral("essai"), {kOverwrite, QStringLiteral("Ecriture impossible sur disque")}},
        // A folder that does not exist.
        {at(QStringLiteral("absent/essai")), {QStringLiteral("Ecriture impossible sur disque")}},
    };
    f.c.Text1->setText(QString(127, QLatin1Char('1')));
    for (const Attempt &attempt : attempts) {
        Enregistrer d(f, f.window());
        d.show();
        child<QLineEdit>(&d, "Text1")->setText(attempt.typed);
        MessageRecorder yes(msgbox::Answer::Yes);
        EXPECT_FALSE(d.enregistrer());
        EXPECT_EQ(yes.texts(), attempt.messages);
        EXPECT_EQ(yes.calls.back().title, QStringLiteral("Enregistrement impossible"));
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(readAllBytes(path), earlier);
        EXPECT_TRUE(f.captions.isEmpty());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(filesUnder(root), QStringList{path});
}

TEST_F(DialogTest, AFullDiskKeepsTheDialogOpenAndTheEarlierFileByteForByte)
{
    if (!fsfaults::WriteLimit::supported())
        GTEST_SKIP() << fsfaults::kNoWriteLimit;
    Enregistrer first(f, f.window());
    first.show();
    child<QLineEdit>(&first, "Text1")->setText(QStringLiteral("essai"));
    ASSERT_TRUE(first.enregistrer());
    const QString path = at(QStringLiteral("essai.C12"));
    const QByteArray earlier = readAllBytes(path);
    ASSERT_EQ(earlier.size(), 1152);
    f.captions.clear();
    f.c.Text1->setText(QStringLiteral("0,005"));

    // Over the earlier file (after "Oui"), then under a new name.
    for (const QString &typed : {QStringLiteral("essai"), QStringLiteral("nouveau")}) {
        Enregistrer d(f, f.window());
        d.show();
        child<QLineEdit>(&d, "Text1")->setText(typed);
        MessageRecorder yes(msgbox::Answer::Yes);
        bool saved = true;
        {
            fsfaults::WriteLimit disk(512);
            ASSERT_TRUE(disk.active());
            saved = d.enregistrer();
        }
        EXPECT_FALSE(saved) << typed.toStdString();
        ASSERT_FALSE(yes.calls.empty());
        EXPECT_EQ(yes.calls.back().text, QStringLiteral("Ecriture impossible sur disque"));
        EXPECT_EQ(yes.calls.back().title, QStringLiteral("Enregistrement impossible"));
        EXPECT_EQ(yes.calls.back().icon, msgbox::Icon::Error);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(readAllBytes(path), earlier);
        EXPECT_TRUE(f.captions.isEmpty());
    }
    EXPECT_EQ(filesUnder(root), QStringList{path});
}

TEST_F(DialogTest, AtARootTheNameIsJoinedWithOneSeparator)
{
    // A concentration too long to store makes sure nothing lands at the root.
    const QString rootFolder = QDir::rootPath(); // "/", "C:/"
    f.c.Text1->setText(QString(127, QLatin1Char('1')));
    Enregistrer d(f, f.window());
    d.show();
    ASSERT_TRUE(d.lists().setFolder(rootFolder));
    child<QLineEdit>(&d, "Text1")->setText(QStringLiteral("essai"));
    MessageRecorder yes(msgbox::Answer::Yes);
    EXPECT_FALSE(d.enregistrer());
    EXPECT_EQ(yes.texts().last(), QStringLiteral("Ecriture impossible sur disque"));
    EXPECT_EQ(f.nomfichier, rootFolder + QStringLiteral("essai.C12"));
    EXPECT_EQ(child<QLineEdit>(&d, "Text1")->text(), rootFolder + QStringLiteral("essai.C12"));
    EXPECT_EQ(QDir::currentPath(), rootFolder);
}

// ------------------------------------------------------------ open dialog

TEST_F(DialogTest, OpenWithNothingChosenDoesNothing)
{
    f.nomfichier = QStringLiteral("avant");
    Ouvrir d(f, f.window());
    d.show();
    MessageRecorder messages;
    for (const QString &text : {QString(), QStringLiteral("   ")}) {
        child<QLineEdit>(&d, "ficharge")->setText(text);
        child<QPushButton>(&d, "Command1")->click();
        EXPECT_TRUE(messages.calls.empty());
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(f.nomfichier, QStringLiteral("avant"));
        EXPECT_TRUE(f.events.isEmpty());
    }
}

TEST_F(DialogTest, AFileDeletedAfterChoosingIsReported)
{
    FakeFeuille writer;
    writer.nomfichier = at(QStringLiteral("essai.C12"));
    ASSERT_TRUE(ecrireConfig(writer));
    Ouvrir d(f, f.window());
    d.show();
    QListWidget *files = child<QListWidget>(&d, "File1");
    ASSERT_EQ(itemTexts(files), QStringList{"essai.C12"});
    files->setCurrentRow(0);
    EXPECT_EQ(child<QLineEdit>(&d, "ficharge")->text(), writer.nomfichier);
    ASSERT_TRUE(QFile::remove(writer.nomfichier));

    MessageRecorder messages;
    child<QPushButton>(&d, "Command1")->click();
    ASSERT_EQ(messages.texts(), QStringList{"Nom de fichier incorrect ou chemin non valide"});
    EXPECT_EQ(messages.calls[0].title, QStringLiteral("impossible d'ouvrir ce fichier"));
    EXPECT_EQ(messages.calls[0].icon, msgbox::Icon::Error);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(child<QFrame>(&d, "Frame1")->isVisible());
    EXPECT_EQ(f.nomfichier, writer.nomfichier);
    EXPECT_TRUE(f.events.isEmpty());
}

TEST_F(DialogTest, OpeningShowsTheNoticeLoadsAndCloses)
{
    FakeFeuille writer;
    writer.apply({false, true, true, QStringLiteral("9,5"), 550, 3, 13, QStringLiteral("2,5E-3")});
    writer.nomfichier = at(QStringLiteral("sub/cfg.C12"));
    ASSERT_TRUE(ecrireConfig(writer));

    Ouvrir d(f, f.window());
    d.show();
    ASSERT_TRUE(d.lists().setFolder(at(QStringLiteral("sub"))));
    EXPECT_EQ(QDir::currentPath(), root); // only choosing a file moves it
    QListWidget *files = child<QListWidget>(&d, "File1");
    ASSERT_EQ(itemTexts(files), QStringList{"cfg.C12"});
    files->setCurrentRow(0);
    EXPECT_EQ(child<QLineEdit>(&d, "ficharge")->text(), writer.nomfichier);
    EXPECT_EQ(QDir::currentPath(), at(QStringLiteral("sub")));

    QFrame *frame = child<QFrame>(&d, "Frame1");
    QLabel *notice = child<QLabel>(&d, "Label4");
    bool noticeShown = false;
    f.onMajafficheur = [&] {
        noticeShown = frame->isVisible() && notice->isVisible() &&
                      notice->text() == QStringLiteral("Patience: chargement du fichier");
    };
    MessageRecorder messages;
    child<QPushButton>(&d, "Command1")->click();
    EXPECT_TRUE(messages.calls.empty());
    EXPECT_TRUE(noticeShown);
    EXPECT_EQ(f.settings(), writer.settings());
    EXPECT_EQ(f.events, (QStringList{"majafficheur", "Command3_Click", "setCaption"}));
    EXPECT_EQ(f.captions,
              QStringList{"Spectrophotométrie - " + QDir::toNativeSeparators(writer.nomfichier)});
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(DialogTest, AFileTheLoaderRefusesStillClosesTheDialog)
{
    QByteArray bad("\x07\x00"
                   "AAAAAAA",
                   9);
    ASSERT_TRUE(writeBytes(at(QStringLiteral("bad.C12")), bad));
    Ouvrir d(f, f.window());
    d.show();
    QListWidget *files = child<QListWidget>(&d, "File1");
    ASSERT_EQ(files->count(), 1);
    MessageRecorder messages;
    emit files->itemDoubleClicked(files->item(0));
    EXPECT_EQ(messages.texts(), QStringList{"Ce fichier ne correspond pas à cette application"});
    EXPECT_EQ(f.nomfichier, at(QStringLiteral("bad.C12")));
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(f.captions.isEmpty());
}

// ------------------------------------------------------------ shared lists

TEST_F(DialogTest, ListsShowTheFoldersAndTheC12FilesOfTheFolder)
{
    for (const char *name : {"a.C12", "b.c12", "c.txt", "d.C12x", ".cache.C12"})
        ASSERT_TRUE(writeBytes(at(QString::fromLatin1(name)), "x"));
    for (const char *name : {"e.C12", "Zeta", "alpha"})
        ASSERT_TRUE(QDir(root).mkdir(QString::fromLatin1(name)));
    QWidget host;
    FolderLists lists(&host);
    EXPECT_EQ(lists.folder(), root);
    EXPECT_EQ(itemTexts(lists.files()), (QStringList{"a.C12", "b.c12"}));

    // The chain of folders down to this one, then its subfolders.
    QTreeWidgetItem *current = lists.folders()->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(0), QFileInfo(root).fileName());
    QStringList children;
    for (int i = 0; i < current->childCount(); ++i)
        children << current->child(i)->text(0);
    EXPECT_EQ(children, (QStringList{"alpha", "e.C12", "sub", "Zeta"}));
    QTreeWidgetItem *top = lists.folders()->topLevelItem(0);
    EXPECT_EQ(top->text(0), QDir::toNativeSeparators(QDir::rootPath()));
    // Each step of the chain opens an existing folder, the one above the next.
    for (QTreeWidgetItem *item = current; item; item = item->parent()) {
        const QString path = item->data(0, Qt::UserRole).toString();
        EXPECT_TRUE(QFileInfo(path).isDir()) << path.toStdString();
        if (item->parent()) {
            EXPECT_EQ(QFileInfo(path).absolutePath(),
                      item->parent()->data(0, Qt::UserRole).toString());
        }
    }
    EXPECT_EQ(top->data(0, Qt::UserRole).toString(), QDir::rootPath());

    // A folder that vanished after listing cannot be opened; nothing changes.
    QSignalSpy changed(&lists, &FolderLists::folderChanged);
    ASSERT_TRUE(QDir(root).rmdir(QStringLiteral("alpha")));
    emit lists.folders()->itemDoubleClicked(treeItem(lists.folders(), QStringLiteral("alpha")), 0);
    EXPECT_EQ(lists.folder(), root);
    EXPECT_EQ(changed.count(), 0);

    // Double-clicking an ancestor goes up.
    emit lists.folders()->itemDoubleClicked(top, 0);
    EXPECT_EQ(lists.folder(), QDir::rootPath());
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(DialogTest, ADriveThatCannotBeReadPutsTheListBack)
{
    QDir(root).mkdir(QStringLiteral("vol"));
    QWidget host;
    FolderLists lists(&host);
    QComboBox *drives = lists.drives();
    ASSERT_GE(drives->count(), 1);
    // The drive of the open folder is the one shown.
    EXPECT_GE(drives->currentIndex(), 0);
    EXPECT_EQ(drives->itemData(0).toString(), QDir::rootPath());

    // Volumes stood in for by folders: one readable, one gone.
    drives->addItem(QStringLiteral("vol"), at(QStringLiteral("vol")));
    drives->addItem(QStringLiteral("absent"), at(QStringLiteral("absent")));
    QSignalSpy changed(&lists, &FolderLists::folderChanged);
    drives->setCurrentIndex(drives->count() - 2);
    EXPECT_EQ(lists.folder(), at(QStringLiteral("vol")));
    EXPECT_EQ(changed.count(), 1);

    drives->setCurrentIndex(drives->count() - 1);
    EXPECT_EQ(drives->currentIndex(), drives->count() - 2);
    EXPECT_EQ(lists.folder(), at(QStringLiteral("vol")));
    EXPECT_EQ(changed.count(), 1);
}

// ------------------------------------------------------------ look

struct LookCase {
    const char *name;
    std::function<QDialog *(Feuille &)> make;
    QString title;
    QSize size;
    QList<std::pair<const char *, QRect>> controls;
    const char *png;
};

void PrintTo(const LookCase &c, std::ostream *os)
{
    *os << c.name;
}

class DialogLook : public DialogTest, public ::testing::WithParamInterface<LookCase>
{
};

TEST_P(DialogLook, SizesPlacementAndColours)
{
    const LookCase &tc = GetParam();
    f.window()->move(100, 80);
    std::unique_ptr<QDialog> d(tc.make(f));
    d->show();
    EXPECT_EQ(d->windowTitle(), tc.title);
    EXPECT_EQ(d->size(), tc.size);
    EXPECT_EQ(d->minimumSize(), d->maximumSize());
    EXPECT_EQ(d->pos(), QPoint(120, 100));
    for (const auto &[name, rect] : tc.controls)
        EXPECT_EQ(child<QWidget>(d.get(), name)->geometry(), rect) << name;
    QLabel *label = child<QLabel>(d.get(), "Label1");
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 128));

    const QImage image = d->grab().toImage();
    image.save(QString::fromLatin1(tc.png));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(192, 192, 192));
    // The label's text is drawn in blue (smoothed edges blend it with the grey).
    bool blue = false;
    const QRect area = label->geometry();
    for (int y = area.top(); y <= area.bottom() && !blue; ++y) {
        for (int x = area.left(); x <= area.right() && !blue; ++x) {
            const QColor c = image.pixelColor(x, y);
            blue = c.blue() >= 110 && c.red() + 60 < c.blue() && c.green() + 60 < c.blue();
        }
    }
    EXPECT_TRUE(blue);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogLook,
                         ::testing::Values(LookCase{"Enregistrer",
                                                    [](Feuille &f) -> QDialog * {
                                                        return new Enregistrer(f, f.window());
                                                    },
                                                    QStringLiteral("Enregistrer les paramètres."),
                                                    QSize(371, 441),
                                                    {{"Drive1", QRect(24, 24, 161, 21)},
                                                     {"Dir1", QRect(24, 67, 161, 261)},
                                                     {"File1", QRect(208, 24, 137, 305)},
                                                     {"Label2", QRect(152, 344, 81, 17)},
                                                     {"Text1", QRect(48, 360, 289, 21)},
                                                     {"Command1", QRect(216, 400, 121, 25)},
                                                     {"Command2", QRect(48, 400, 121, 25)}},
                                                    "/tmp/enregistrer.png"},
                                           LookCase{"Ouvrir",
                                                    [](Feuille &f) -> QDialog * {
                                                        return new Ouvrir(f, f.window());
                                                    },
                                                    QStringLiteral("Ouvrir une configuration"),
                                                    QSize(369, 423),
                                                    {{"Dir1", QRect(24, 65, 161, 276)},
                                                     {"File1", QRect(208, 24, 137, 318)},
                                                     {"ficharge", QRect(0, 352, 369, 19)},
                                                     {"Command1", QRect(208, 376, 121, 25)},
                                                     {"Command2", QRect(48, 376, 121, 25)},
                                                     {"Frame1", QRect(0, 0, 369, 425)},
                                                     {"Label4", QRect(8, 168, 353, 33)}},
                                                    "/tmp/ouvrir.png"}),
                         [](const auto &info) { return std::string(info.param.name); });
