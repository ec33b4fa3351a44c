// An installed program: its folder (the data folder) is read-only. Saving a
// configuration or the pupil's text after opening an exercise still works,
// the file dialogs start in the user's documents, and the hand-off file is
// read and written in the per-user data folder.
//
// The program asks the system whether a folder may be written. Run as root,
// as the tests are in CI, the answer is always yes, whatever the permissions:
// there the check is stood in for by the permission bits, which is what the
// system answers an ordinary user.
#include "exofixture.h"

#include "common/appdata.h"
#include "common/platform.h"
#include "config/enregistrer.h"
#include "config/folderlists.h"
#include "config/ouvrir.h"
#include "exercises/optionexo.h"

#include "support/fsfaults.h"
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTimer>

namespace
{

const QFile::Permissions kReadOnlyFile = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
const QFile::Permissions kReadOnlyFolder =
    kReadOnlyFile | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;

void copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

// Every folder and file under root, deepest first, then root.
QStringList entriesUnder(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    std::sort(out.begin(), out.end(), std::greater<QString>());
    out << root;
    return out;
}

// The tree made read-only last, for the stand-in of the system's check.
QString readOnlyRoot;

void setReadOnly(const QString &root, bool readOnly)
{
    readOnlyRoot = readOnly ? QFileInfo(root).canonicalFilePath() : QString();
    for (const QString &path : entriesUnder(root)) {
        const bool folder = QFileInfo(path).isDir();
        QFile::Permissions p = folder ? kReadOnlyFolder : kReadOnlyFile;
        if (!readOnly)
            p |= QFile::WriteOwner;
        QFile::setPermissions(path, p);
    }
}

class EnvVar
{
public:
    EnvVar(const char *name, const QString &value) : m_name(name), m_old(qgetenv(name))
    {
        m_had = qEnvironmentVariableIsSet(name);
        qputenv(name, value.toLocal8Bit());
    }
    ~EnvVar()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    QByteArray m_old;
    bool m_had = false;
};

class Installed : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        graph::Graph::nonBlockingTrace = true;
        ASSERT_TRUE(tmp.isValid());
        const QString root = QDir(tmp.path()).canonicalPath();
        prog = root + QStringLiteral("/share/spectro");
        home = root + QStringLiteral("/home");
        docs = home + QStringLiteral("/Documents");
        copyTree(QStringLiteral(SPECTRO_SOURCE_DATA_DIR), prog);
        ASSERT_TRUE(QFileInfo::exists(prog + QStringLiteral("/beer_lambert.E35")));
        QDir().mkpath(docs);
        setReadOnly(prog, true);
        if (!fsfaults::permissionsBind()) {
            // Root writes anywhere, and on Windows access lists, which the
            // test cannot set, decide: the read-only tree is played.
            Platform::writableCheck = [](const QString &folder) {
                const QString path = QFileInfo(folder).canonicalFilePath();
                if (path.isEmpty() || !QFileInfo(path).isDir())
                    return false;
                return readOnlyRoot.isEmpty() ||
                       !(path == readOnlyRoot || path.startsWith(readOnlyRoot + QLatin1Char('/')));
            };
        }
        env.push_back(std::make_unique<EnvVar>("SPECTRO_DATA_DIR", prog));
        env.push_back(std::make_unique<EnvVar>("HOME", home));
        env.push_back(
            std::make_unique<EnvVar>("XDG_CONFIG_HOME", home + QStringLiteral("/.config")));
        env.push_back(
            std::make_unique<EnvVar>("XDG_DATA_HOME", home + QStringLiteral("/.local/share")));
        // Windows asks the system, not the environment, for the user's folders:
        // there the test uses the real ones and cleans up after itself.
        docs = Platform::documentsFolder();
        perUser = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        removeWritten();
        previous = QDir::currentPath();
        msgbox::handler = [this](const msgbox::Call &c) {
            calls.push_back(c);
            return msgbox::Answer::Ok;
        };
        w = std::make_unique<FeuilleP>();
        menu = std::make_unique<Optionexo>(*w);
        w->openExerciseFile = [this](const QString &p, const QString &folder) {
            menu->openExerciseFile(p, folder);
        };
    }
    void TearDown() override
    {
        menu.reset();
        w.reset();
        msgbox::handler = nullptr;
        Platform::writableCheck = nullptr;
        removeWritten();
        QDir::setCurrent(previous);
        env.clear();
        setReadOnly(prog, false);
    }

    void removeWritten()
    {
        for (const QString &f :
             {docs + QStringLiteral("/beer_lambert.C12"), docs + QStringLiteral("/reponse.RTF"),
              perUser + QStringLiteral("/TEMPKZ.TMP")})
            QFile::remove(f);
    }

    QTemporaryDir tmp;
    QString prog, home, docs, perUser, previous;
    std::vector<std::unique_ptr<EnvVar>> env;
    std::vector<msgbox::Call> calls;
    std::unique_ptr<FeuilleP> w;
    std::unique_ptr<Optionexo> menu;
};

// Runs a file dialog's command and answers its dialog: the folder it showed.
QString answerFileDialog(const std::function<void()> &command, const QString &file)
{
    QString shown;
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!d)
            return;
        shown = d->directory().absolutePath();
        if (file.isEmpty()) {
            d->reject();
            return;
        }
        d->selectFile(file);
        static_cast<QDialog *>(d)->accept();
    });
    command();
    return shown;
}

} // namespace

TEST_F(Installed, TheProgramFolderIsReadOnlyAndNothingFailsForIt)
{
    ASSERT_FALSE(Platform::isWritableFolder(prog));
    const QStringList shipped = entriesUnder(prog);

    // The hand-off file is the per-user one, written at start-up.
    ASSERT_FALSE(perUser.isEmpty());
    ASSERT_FALSE(perUser.startsWith(prog));
    const QString handOff = perUser + QStringLiteral("/TEMPKZ.TMP");
    EXPECT_EQ(w->handOffPath(), handOff);
    QString text;
    ASSERT_TRUE(recordfile::readFileRecord(handOff, 6, &text));
    EXPECT_EQ(text, QStringLiteral("OUI"));

    // A launcher's request there is served, and emptied.
    ASSERT_TRUE(recordfile::writeFileRecord(handOff, 31, QStringLiteral("beer_lambert.E35")));
    w->Form_Activate();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(w->c.fich->text(), programFolder() + QStringLiteral("beer_lambert.E35"));
    EXPECT_EQ(w->nomfichier, programFolder() + QStringLiteral("beer_lambert.C12"));
    ASSERT_TRUE(recordfile::readFileRecord(handOff, 31, &text));
    EXPECT_EQ(text, QString());

    // Browsing the exercises makes the program's folder the current one.
    QDir::setCurrent(prog);
    {
        Ouvrir open(*w, w.get());
        EXPECT_EQ(open.lists().folder(), docs);
    }
    Enregistrer save(*w, w.get());
    EXPECT_EQ(save.lists().folder(), docs);
    EXPECT_EQ(save.findChild<QLineEdit *>(QStringLiteral("Text1"))->text(),
              QStringLiteral("beer_lambert.C12"));
    save.show();
    EXPECT_TRUE(save.enregistrer());
    EXPECT_TRUE(calls.empty());
    const QString saved = docs + QStringLiteral("/beer_lambert.C12");
    EXPECT_TRUE(QFileInfo(saved).isFile());
    EXPECT_EQ(w->windowTitle(),
              QStringLiteral("Spectrophotométrie - ") + QDir::toNativeSeparators(saved));

    // The pupil's text.
    QDir::setCurrent(prog);
    w->c.supertext->insertPlainText(QStringLiteral("Ma réponse. "));
    ASSERT_EQ(w->textemodif, 1);
    const QString answer = docs + QStringLiteral("/reponse.RTF");
    EXPECT_EQ(answerFileDialog([this] { menu->enregistrerTexte(); }, answer), docs);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(QFileInfo(answer).isFile());
    EXPECT_EQ(w->textemodif, 0);
    QDir::setCurrent(prog);
    EXPECT_EQ(answerFileDialog([this] { menu->retrouverTexte(); }, QString()), docs);

    // Nothing was written into the program's folder.
    EXPECT_EQ(entriesUnder(prog), shipped);
}

TEST_F(Installed, AWritableProgramFolderKeepsTheHandOffFile)
{
    setReadOnly(prog, false);
    EXPECT_EQ(Platform::handOffFile(), programFolder() + QStringLiteral("TEMPKZ.TMP"));
    // The current folder, when writable, is where the dialogs start.
    QDir::setCurrent(home);
    EXPECT_EQ(Platform::dialogFolder(), home);
    QDir::setCurrent(prog);
    EXPECT_EQ(Platform::dialogFolder(), prog);
}
